#include "sidebar/SidebarOptions.h"

#include <cwchar>

namespace quorvane::sidebar {
namespace {

bool ParseInt(const std::wstring& text, int& value) {
  wchar_t* end = nullptr;
  const long parsed = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || parsed < -1000000 || parsed > 1000000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseSeconds(const std::wstring& text, double& value) {
  wchar_t* end = nullptr;
  const double parsed = std::wcstod(text.c_str(), &end);
  if (text.empty() || *end != L'\0' || !(parsed >= 0) || parsed > 1e7) return false;
  value = parsed;
  return true;
}

}  // namespace

const wchar_t kSidebarUsage[] =
    L"usage: QuorvaneSidebar [OPTION]...\n"
    L"Shows QuorvaneRSS and the other display plug-ins registered with the sidebar.\n"
    L"  --feeds URL...          the feeds QuorvaneRSS shows (kept in its settings)\n"
    L"  --refresh-minutes N     minutes between reloads of the feeds\n"
    L"  --delay-seconds N       seconds to wait between screens\n"
    L"  --speed N               the typing speed step (higher types faster)\n"
    L"  --state PATH            QuorvaneRSS's settings file (default in %APPDATA%)\n"
    L"  --gadget-dll PATH       where to load QuorvaneRSS from when it is not registered\n"
    L"  --only-quorvane         leaves out the other registered plug-ins\n"
    L"  --run-for SEC           closes the sidebar after SEC seconds\n"
    L"  --screenshot-dir DIR --screenshot-every SEC\n"
    L"                          saves the window as DIR\\shot-NNN.bmp every SEC seconds\n"
    L"  --stats FILE --stats-every SEC\n"
    L"                          logs handles, GDI and USER objects, threads and memory\n"
    L"  --script \"STEP; STEP\"   scripted steps, for tests\n"
    L"  --import-opml FILE      appends the feeds of an OPML file to QuorvaneRSS's list\n"
    L"  --export-opml FILE      writes QuorvaneRSS's feeds to an OPML file\n"
    L"  --install               registers the sidebar and the QuorvaneRSS.dll beside it\n"
    L"  --uninstall             removes both registrations\n"
    L"  --help, /?              this text";

std::optional<SidebarOptions> ParseSidebarOptions(const std::vector<std::wstring>& args, std::wstring& error) {
  SidebarOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& name = args[i];
    auto value = [&](std::wstring& out) {
      if (i + 1 >= args.size()) {
        error = name + L" needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::wstring text;
    if (name == L"--feeds") {
      while (i + 1 < args.size() && args[i + 1].rfind(L"--", 0) != 0) options.feeds.push_back(args[++i]);
      if (options.feeds.empty()) {
        error = L"--feeds needs at least one URL";
        return std::nullopt;
      }
    } else if (name == L"--refresh-minutes" || name == L"--delay-seconds" || name == L"--speed") {
      int number = 0;
      if (!value(text)) return std::nullopt;
      if (!ParseInt(text, number)) {
        error = name + L" needs a whole number";
        return std::nullopt;
      }
      (name == L"--refresh-minutes" ? options.refreshMinutes
                                    : name == L"--delay-seconds" ? options.delaySeconds : options.speed) = number;
    } else if (name == L"--screenshot-every" || name == L"--run-for" || name == L"--stats-every") {
      double seconds = 0;
      if (!value(text)) return std::nullopt;
      if (!ParseSeconds(text, seconds)) {
        error = name + L" needs a number of seconds";
        return std::nullopt;
      }
      (name == L"--screenshot-every" ? options.screenshotEverySeconds
                                     : name == L"--run-for" ? options.runForSeconds : options.statsEverySeconds) = seconds;
    } else if (name == L"--state") {
      if (!value(options.statePath)) return std::nullopt;
    } else if (name == L"--gadget-dll") {
      if (!value(options.gadgetDll)) return std::nullopt;
    } else if (name == L"--screenshot-dir") {
      if (!value(options.screenshotDir)) return std::nullopt;
    } else if (name == L"--stats") {
      if (!value(options.statsFile)) return std::nullopt;
    } else if (name == L"--script") {
      if (!value(options.script)) return std::nullopt;
    } else if (name == L"--import-opml") {
      if (!value(options.importOpml)) return std::nullopt;
    } else if (name == L"--export-opml") {
      if (!value(options.exportOpml)) return std::nullopt;
    } else if (name == L"--only-quorvane") {
      options.onlyQuorvane = true;
    } else if (name == L"--install") {
      options.install = true;
    } else if (name == L"--uninstall") {
      options.uninstall = true;
    } else if (name == L"--help" || name == L"-h" || name == L"/?") {
      options.help = true;
    } else {
      error = L"unknown option " + name;
      return std::nullopt;
    }
  }
  if (options.screenshotEverySeconds < 0.1) options.screenshotEverySeconds = 0.1;
  if (options.statsEverySeconds < 0.1) options.statsEverySeconds = 0.1;
  return options;
}

}  // namespace quorvane::sidebar
