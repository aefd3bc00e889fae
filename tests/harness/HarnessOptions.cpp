#include "harness/HarnessOptions.h"

#include <variant>

namespace quorvane::sidebar {
namespace {

using TextOption = std::wstring HarnessOptions::*;
using SecondsOption = double HarnessOptions::*;

const std::pair<const wchar_t*, std::variant<TextOption, SecondsOption>> kOptions[] = {
    {L"--screenshot-dir", &HarnessOptions::screenshotDir},
    {L"--screenshot-every", &HarnessOptions::screenshotEverySeconds},
    {L"--run-for", &HarnessOptions::runForSeconds},
    {L"--stats", &HarnessOptions::statsFile},
    {L"--stats-every", &HarnessOptions::statsEverySeconds},
    {L"--script", &HarnessOptions::script},
};

// Takes args[i] and its value when it is one of the harness's options.
int TakeOption(HarnessOptions& options, const std::vector<std::wstring>& args, size_t i, std::wstring& error) {
  for (const auto& [name, target] : kOptions) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) {
      error = args[i] + L" needs a value";
      return -1;
    }
    if (const auto* text = std::get_if<TextOption>(&target)) {
      options.*(*text) = args[i + 1];
    } else if (!ParseOptionSeconds(args[i + 1], options.*std::get<SecondsOption>(target))) {
      error = args[i] + L" needs a number of seconds";
      return -1;
    }
    return 2;
  }
  return 0;
}

}  // namespace

const wchar_t kHarnessUsage[] =
    L"The test harness's own options:\n"
    L"  --run-for SEC           closes the sidebar after SEC seconds\n"
    L"  --screenshot-dir DIR --screenshot-every SEC\n"
    L"                          saves the window as DIR\\shot-NNN.bmp every SEC seconds\n"
    L"  --stats FILE --stats-every SEC\n"
    L"                          logs handles, GDI and USER objects, threads and memory\n"
    L"  --script \"STEP; STEP\"   scripted steps (tests/harness/ScriptedRun.h)";

std::optional<HarnessCommandLine> ParseHarnessCommandLine(const std::vector<std::wstring>& args, std::wstring& error) {
  HarnessOptions harness;
  auto sidebar = ParseSidebarOptions(args, error, [&harness](const std::vector<std::wstring>& all, size_t i,
                                                             std::wstring& problem) {
    return TakeOption(harness, all, i, problem);
  });
  if (!sidebar) return std::nullopt;
  if (harness.screenshotEverySeconds < 0.1) harness.screenshotEverySeconds = 0.1;
  if (harness.statsEverySeconds < 0.1) harness.statsEverySeconds = 0.1;
  return HarnessCommandLine{std::move(*sidebar), std::move(harness)};
}

}  // namespace quorvane::sidebar
