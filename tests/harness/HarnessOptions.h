#pragma once
// QuorvaneSidebarHarness.exe's command line: every option of the sidebar
// (sidebar/SidebarOptions.h), plus
//
//   --screenshot-dir DIR --screenshot-every SEC
//                           saves the window as DIR\shot-NNN.bmp
//   --run-for SEC           closes the sidebar (saving as usual) after SEC
//   --stats FILE --stats-every SEC
//                           logs handles, GDI and USER objects, threads,
//                           private bytes and a message probe's answer times
//   --script "STEP; STEP"   scripted steps (see ScriptedRun.h)
#include <optional>
#include <string>
#include <vector>

#include "sidebar/SidebarOptions.h"

namespace quorvane::sidebar {

struct HarnessOptions {
  std::wstring screenshotDir;
  double screenshotEverySeconds = 3;
  double runForSeconds = 0;
  std::wstring statsFile;
  double statsEverySeconds = 5;
  std::wstring script;
};

struct HarnessCommandLine {
  SidebarOptions sidebar;
  HarnessOptions harness;
};

// What --help prints after the sidebar's usage.
extern const wchar_t kHarnessUsage[];

// Parses the arguments after the program name; on a malformed command line
// returns nothing and sets `error`. Periods too short to keep up with are
// raised to 0.1 s.
std::optional<HarnessCommandLine> ParseHarnessCommandLine(const std::vector<std::wstring>& args, std::wstring& error);

}  // namespace quorvane::sidebar
