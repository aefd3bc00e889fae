// The sidebar's command line, and the harness's around it: what scripts/run,
// the soak and the tests pass.
#include <gtest/gtest.h>

#include "harness/HarnessOptions.h"
#include "sidebar/SidebarOptions.h"

namespace quorvane::sidebar {
namespace {

std::optional<HarnessCommandLine> Parse(std::vector<std::wstring> args, std::wstring* error = nullptr) {
  std::wstring message;
  auto options = ParseHarnessCommandLine(args, message);
  if (error) *error = message;
  return options;
}

TEST(SidebarOptionsTest, FeedsRunUntilTheNextOptionAndSettingsAreTakenAsGiven) {
  const auto options = Parse({L"--feeds", L"http://a/x?y=1", L"http://b/", L"--refresh-minutes", L"0", L"--speed",
                              L"-10", L"--state", L"C:\\s.state", L"--run-for", L"2.5", L"--only-quorvane"});
  ASSERT_TRUE(options);
  const SidebarOptions& sidebar = options->sidebar;
  EXPECT_EQ(sidebar.feeds, (std::vector<std::wstring>{L"http://a/x?y=1", L"http://b/"}));
  EXPECT_EQ(sidebar.refreshMinutes, 0);
  EXPECT_EQ(sidebar.speed, -10);
  EXPECT_FALSE(sidebar.delaySeconds);
  EXPECT_EQ(sidebar.statePath, L"C:\\s.state");
  EXPECT_DOUBLE_EQ(options->harness.runForSeconds, 2.5);
  EXPECT_TRUE(sidebar.onlyQuorvane);
}

TEST(SidebarOptionsTest, MalformedCommandLinesAreRefusedWithAReason) {
  for (const auto& args : std::vector<std::vector<std::wstring>>{
           {L"--feeds"},
           {L"--feeds", L"--live"},
           {L"--speed"},
           {L"--speed", L"fast"},
           {L"--speed", L"3x"},
           {L"--refresh-minutes", L"99999999999"},
           {L"--run-for", L"-1"},
           {L"--screenshot-every", L"nan"},
           {L"--state"},
           {L"--bogus"}}) {
    std::wstring error;
    EXPECT_FALSE(Parse(args, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
  // The shipped sidebar knows none of the harness's options.
  std::wstring error;
  EXPECT_FALSE(ParseSidebarOptions({L"--script", L"exit"}, error));
  EXPECT_EQ(error, L"unknown option --script");
}

TEST(SidebarOptionsTest, PeriodsTooShortToKeepUpWithAreRaised) {
  const auto options = Parse({L"--screenshot-every", L"0", L"--stats-every", L"0.01"});
  ASSERT_TRUE(options);
  EXPECT_DOUBLE_EQ(options->harness.screenshotEverySeconds, 0.1);
  EXPECT_DOUBLE_EQ(options->harness.statsEverySeconds, 0.1);
}

}  // namespace
}  // namespace quorvane::sidebar
