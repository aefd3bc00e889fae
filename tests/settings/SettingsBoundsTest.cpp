#include "settings/SettingsBounds.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

constexpr int32_t kIntMax = 2147483647;
constexpr int32_t kIntMin = -2147483647 - 1;

TEST(SettingsBounds, EveryRepresentableMinuteAndSecondReadsBackAsPut) {
  for (int32_t minutes = 0; minutes <= kMaxRefreshMinutes; ++minutes)
    ASSERT_EQ(MsToMinutes(MinutesToMs(minutes)), minutes);
  for (int32_t seconds = 0; seconds <= kMaxDelaySeconds; ++seconds)
    ASSERT_EQ(MsToSeconds(SecondsToMs(seconds)), seconds);
  EXPECT_EQ(MinutesToMs(45), 2'700'000);
  EXPECT_EQ(SecondsToMs(3), 3'000);
}

TEST(SettingsBounds, LargeValuesSaturateAndNegativeOnesBecomeZeroOrTheDefaultInterval) {
  EXPECT_EQ(kMaxRefreshMinutes, 35'791);
  EXPECT_EQ(kMaxDelaySeconds, 2'147'483);
  for (const int32_t big : {kMaxRefreshMinutes + 1, 99'999'999, kIntMax})
    EXPECT_EQ(MinutesToMs(big), 2'147'460'000) << big;
  for (const int32_t big : {kMaxDelaySeconds + 1, 99'999'999, kIntMax})
    EXPECT_EQ(SecondsToMs(big), 2'147'483'000) << big;
  for (const int32_t negative : {-1, -36'000, kIntMin}) {
    EXPECT_EQ(MinutesToMs(negative), 1'800'000);  // not "as often as possible"
    EXPECT_EQ(SecondsToMs(negative), 0);
  }
  EXPECT_EQ(MsToMinutes(59'999), 0);
  EXPECT_EQ(MsToSeconds(7), 0);
}

TEST(SettingsBounds, TypingPeriodStaysWithinTheTimerRange) {
  EXPECT_EQ(TypingPeriodMs(-10), 130u);
  EXPECT_EQ(TypingPeriodMs(0), 80u);
  EXPECT_EQ(TypingPeriodMs(10), 30u);
  EXPECT_EQ(TypingPeriodMs(14), 10u);
  for (const int32_t fast : {15, 16, 17, kIntMax}) EXPECT_EQ(TypingPeriodMs(fast), 10u) << fast;
  EXPECT_EQ(TypingPeriodMs(-1'000), 5'080u);
  EXPECT_EQ(TypingPeriodMs(kIntMin), 0x7FFFFFFFu);
}

}  // namespace
}  // namespace quorvane
