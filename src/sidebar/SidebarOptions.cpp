#include "sidebar/SidebarOptions.h"

#include <cwchar>
#include <string>
#include <utility>
#include <variant>

#include "settings/FeedAddress.h"

namespace quorvane::sidebar {
namespace {

bool ParseInt(const std::wstring& text, int& value) {
  wchar_t* end = nullptr;
  const long parsed = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || parsed < -1000000 || parsed > 1000000) return false;
  value = static_cast<int>(parsed);
  return true;
}

// Where an option's value goes, by its kind: text, a whole number, or
// nothing (a switch).
using TextOption = std::wstring SidebarOptions::*;
using NumberOption = std::optional<int> SidebarOptions::*;
using SwitchOption = bool SidebarOptions::*;
using OptionTarget = std::variant<TextOption, NumberOption, SwitchOption>;

const std::pair<const wchar_t*, OptionTarget> kOptions[] = {
    {L"--refresh-minutes", &SidebarOptions::refreshMinutes},
    {L"--delay-seconds", &SidebarOptions::delaySeconds},
    {L"--speed", &SidebarOptions::speed},
    {L"--state", &SidebarOptions::statePath},
    {L"--gadget-dll", &SidebarOptions::gadgetDll},
    {L"--import-opml", &SidebarOptions::importOpml},
    {L"--export-opml", &SidebarOptions::exportOpml},
    {L"--only-quorvane", &SidebarOptions::onlyQuorvane},
    {L"--install", &SidebarOptions::install},
    {L"--uninstall", &SidebarOptions::uninstall},
    {L"--help", &SidebarOptions::help},
    {L"-h", &SidebarOptions::help},
    {L"/?", &SidebarOptions::help},
};

const OptionTarget* FindOption(const std::wstring& name) {
  for (const auto& [known, target] : kOptions) {
    if (name == known) return &target;
  }
  return nullptr;
}

// Stores `text` as the option's value; false, with what the value should
// have been, when it is not a value of the option's kind.
bool StoreValue(SidebarOptions& options, const OptionTarget& target, const std::wstring& text,
                std::wstring& expected) {
  if (const auto* member = std::get_if<TextOption>(&target)) {
    options.*(*member) = text;
    return true;
  }
  int number = 0;
  if (!ParseInt(text, number)) {
    expected = L"a whole number";
    return false;
  }
  options.*std::get<NumberOption>(target) = number;
  return true;
}

}  // namespace

bool ParseOptionSeconds(const std::wstring& text, double& value) {
  wchar_t* end = nullptr;
  const double parsed = std::wcstod(text.c_str(), &end);
  if (text.empty() || *end != L'\0' || !(parsed >= 0) || parsed > 1e7) return false;
  value = parsed;
  return true;
}

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
    L"  --import-opml FILE      appends the feeds of an OPML file to QuorvaneRSS's list\n"
    L"  --export-opml FILE      writes QuorvaneRSS's feeds to an OPML file\n"
    L"  --install               registers the sidebar and the QuorvaneRSS.dll beside it\n"
    L"  --uninstall             removes both registrations\n"
    L"  --help, /?              this text";

std::optional<SidebarOptions> ParseSidebarOptions(const std::vector<std::wstring>& args, std::wstring& error,
                                                  const ExtraOptions& extra) {
  SidebarOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& name = args[i];
    if (name == L"--feeds") {
      while (i + 1 < args.size() && args[i + 1].rfind(L"--", 0) != 0) {
        // Completed as the settings page completes an address; one the
        // gadget could never read ends the sidebar before it starts.
        const std::wstring& typed = args[++i];
        const FeedAddress address = CheckFeedAddress(std::u16string(typed.begin(), typed.end()));
        if (address.url.empty()) {
          error = std::wstring(address.problem.begin(), address.problem.end());
          return std::nullopt;
        }
        options.feeds.emplace_back(address.url.begin(), address.url.end());
      }
      if (options.feeds.empty()) {
        error = L"--feeds needs at least one URL";
        return std::nullopt;
      }
      continue;
    }
    const OptionTarget* target = FindOption(name);
    if (!target) {
      const int used = extra ? extra(args, i, error) : 0;
      if (used < 0) return std::nullopt;
      if (used == 0) {
        error = L"unknown option " + name;
        return std::nullopt;
      }
      i += used - 1;
      continue;
    }
    if (const auto* member = std::get_if<SwitchOption>(target)) {
      options.*(*member) = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = name + L" needs a value";
      return std::nullopt;
    }
    std::wstring expected;
    if (!StoreValue(options, *target, args[++i], expected)) {
      error = name + L" needs " + expected;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace quorvane::sidebar
