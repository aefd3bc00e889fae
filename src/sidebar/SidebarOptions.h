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
//   --import-opml FILE      appends the feeds of an OPML file to QuorvaneRSS's
//                           list (and saves it), prints what it did and ends
//   --export-opml FILE      writes QuorvaneRSS's feeds as OPML and ends
//                           (both: the import first)
//   --only-quorvane         ignores other registered plug-ins
//   --install, --uninstall  registers (removes) the component registration
//                           object and the QuorvaneRSS.dll beside the sidebar
//   --help, -h, /?          the usage (SidebarUsage)
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::sidebar {

struct SidebarOptions {
  std::vector<std::wstring> feeds;
  std::optional<int> refreshMinutes, delaySeconds, speed;
  std::wstring statePath;
  std::wstring gadgetDll;
  std::wstring importOpml;
  std::wstring exportOpml;
  bool onlyQuorvane = false;
  bool install = false;
  bool uninstall = false;
  bool help = false;
};

// What --help prints.
extern const wchar_t kSidebarUsage[];

// Options of a program built around the sidebar, asked about each option
// the sidebar does not know, args[i]: how many arguments it took from i on
// (0 when it does not know it either), or -1 with `error` set.
using ExtraOptions = std::function<int(const std::vector<std::wstring>& args, size_t i, std::wstring& error)>;

// Parses the arguments after the program name. On a malformed command line
// returns nothing and sets `error`.
std::optional<SidebarOptions> ParseSidebarOptions(const std::vector<std::wstring>& args, std::wstring& error,
                                                  const ExtraOptions& extra = {});

// A number of seconds on the command line: 0 to 10,000,000.
bool ParseOptionSeconds(const std::wstring& text, double& value);

}  // namespace quorvane::sidebar
