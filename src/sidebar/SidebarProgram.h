#pragma once
// The sidebar program's run, shared by QuorvaneSidebar.exe and the test
// harness built around it: registration, the OPML transfers, loading the
// plug-ins and the message loop.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sidebar/SidebarOptions.h"

namespace quorvane::sidebar {

class SidebarWindow;

// What a program built around the sidebar adds to a run (the harness's
// screenshots, statistics and scripts).
class SidebarRunObserver {
 public:
  // The panel is shown; the message loop starts next.
  virtual void Started(SidebarWindow& sidebar) = 0;
  // The message loop has ended; the panel's gadgets are still loaded.
  virtual void Ended() = 0;

 protected:
  ~SidebarRunObserver() = default;
};

// Reads the arguments after the program name; on a malformed command line
// returns nothing and sets the error.
using OptionParser = std::function<std::optional<SidebarOptions>(const std::vector<std::wstring>& args, std::wstring& error)>;

// wWinMain of a sidebar program called `name`: parses its command line,
// prints `usage` for --help or the error for a malformed one, else runs the
// sidebar as the options say (--install, --uninstall, the transfers or the
// panel). Returns the exit code; `observer` may be null.
int SidebarProgramMain(const wchar_t* name, const OptionParser& parse, const std::wstring& usage, int showCommand,
                       SidebarRunObserver* observer);

}  // namespace quorvane::sidebar
