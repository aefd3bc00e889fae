#pragma once
// The sidebar's command line.
//
//   --feeds URL...          feeds for QuorvaneRSS, put through its automation
//                           interface after its state is loaded
//   --refresh-minutes N  --delay-seconds N  --speed N
//                           the gadget's other settings, likewise
//   --state PATH            QuorvaneRSS's state file (default in %APPDATA%)
//   --gadget-dll PATH       the module to load QuorvaneRSS from when its
//                           class is not registered
//   --screenshot-dir DIR --screenshot-every SEC
//                           saves the window as DIR\shot-NNN.bmp
//   --run-for SEC           closes the sidebar (saving as usual) after SEC
//   --stats FILE --stats-every SEC
//                           logs handles, GDI and USER objects, threads,
//                           private bytes and a message probe's answer times
//   --script "STEP; STEP"   scripted steps for tests (see ScriptedRun.h)
//   --import-opml FILE      appends the feeds of an OPML file to QuorvaneRSS's
//                           list (and saves it), prints what it did and ends
//   --export-opml FILE      writes QuorvaneRSS's feeds as OPML and ends
//                           (both: the import first)
//   --only-quorvane         ignores other registered plug-ins
//   --install, --uninstall  registers (removes) the component registration
//                           object and the QuorvaneRSS.dll beside the sidebar
//   --help, -h, /?          the usage (SidebarUsage)
#include <optional>
#include <string>
#include <vector>

namespace quorvane::sidebar {

struct SidebarOptions {
  std::vector<std::wstring> feeds;
  std::optional<int> refreshMinutes, delaySeconds, speed;
  std::wstring statePath;
  std::wstring gadgetDll;
  std::wstring screenshotDir;
  double screenshotEverySeconds = 3;
  double runForSeconds = 0;
  std::wstring statsFile;
  double statsEverySeconds = 5;
  std::wstring script;
  std::wstring importOpml;
  std::wstring exportOpml;
  bool onlyQuorvane = false;
  bool install = false;
  bool uninstall = false;
  bool help = false;
};

// What --help prints.
extern const wchar_t kSidebarUsage[];

// Parses the arguments after the program name. On a malformed command line
// returns nothing and sets `error`.
std::optional<SidebarOptions> ParseSidebarOptions(const std::vector<std::wstring>& args, std::wstring& error);

}  // namespace quorvane::sidebar
