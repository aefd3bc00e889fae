// The sidebar's command line: what scripts/run, the soak and the tests pass.
#include <gtest/gtest.h>

#include "sidebar/SidebarOptions.h"

namespace quorvane::sidebar {
namespace {

std::optional<SidebarOptions> Parse(std::vector<std::wstring> args, std::wstring* error = nullptr) {
  std::wstring message;
  auto options = ParseSidebarOptions(args, message);
  if (error) *error = message;
  return options;
}

TEST(SidebarOptionsTest, FeedsRunUntilTheNextOptionAndSettingsAreTakenAsGiven) {
  const auto options = Parse({L"--feeds", L"http://a/x?y=1", L"http://b/", L"--refresh-minutes", L"0", L"--speed",
                              L"-10", L"--state", L"C:\\s.state", L"--run-for", L"2.5", L"--only-quorvane"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->feeds, (std::vector<std::wstring>{L"http://a/x?y=1", L"http://b/"}));
  EXPECT_EQ(options->refreshMinutes, 0);
  EXPECT_EQ(options->speed, -10);
  EXPECT_FALSE(options->delaySeconds);
  EXPECT_EQ(options->statePath, L"C:\\s.state");
  EXPECT_DOUBLE_EQ(options->runForSeconds, 2.5);
  EXPECT_TRUE(options->onlyQuorvane);
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
}

TEST(SidebarOptionsTest, PeriodsTooShortToKeepUpWithAreRaised) {
  const auto options = Parse({L"--screenshot-every", L"0", L"--stats-every", L"0.01"});
  ASSERT_TRUE(options);
  EXPECT_DOUBLE_EQ(options->screenshotEverySeconds, 0.1);
  EXPECT_DOUBLE_EQ(options->statsEverySeconds, 0.1);
}

}  // namespace
}  // namespace quorvane::sidebar
