#pragma once
// Unit conversions of the automation properties and the bounds that keep
// every value working. The properties accept any 32-bit integer, but the
// control holds milliseconds in 32 bits and the typing timer needs a
// positive period:
// - minutes and seconds saturate at the largest whole number of minutes
//   (35,791) or seconds (2,147,483) whose milliseconds fit in 32 bits, so
//   every smaller value reads back exactly as it was put; a negative wait
//   between screens becomes 0 (it would be taken as an endless one), a
//   negative refresh interval the default 30 minutes (0 would ask for
//   cycles as often as possible, which no server should get);
// - the speed step is kept as put; only the timer period derived from it is
//   limited to the window system's range (10 ms .. 0x7FFFFFFF ms), so steps
//   of 14 and above all type at the fastest rate.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "settings/GadgetSettingsRecord.h"

namespace quorvane {

inline constexpr int32_t kMsPerMinute = 60'000;
inline constexpr int32_t kMsPerSecond = 1'000;
inline constexpr int32_t kMaxRefreshMinutes = std::numeric_limits<int32_t>::max() / kMsPerMinute;
inline constexpr int32_t kMaxDelaySeconds = std::numeric_limits<int32_t>::max() / kMsPerSecond;

inline constexpr uint32_t kMinTypingPeriodMs = 10;          // USER_TIMER_MINIMUM
inline constexpr uint32_t kMaxTypingPeriodMs = 0x7FFFFFFF;  // USER_TIMER_MAXIMUM

inline constexpr int32_t MinutesToMs(int32_t minutes) {
  if (minutes < 0) return kDefaultFeedRefreshRateMs;
  return std::min(minutes, kMaxRefreshMinutes) * kMsPerMinute;
}
inline constexpr int32_t SecondsToMs(int32_t seconds) {
  return std::clamp(seconds, 0, kMaxDelaySeconds) * kMsPerSecond;
}
// Truncates toward zero.
inline constexpr int32_t MsToMinutes(int32_t ms) { return ms / kMsPerMinute; }
inline constexpr int32_t MsToSeconds(int32_t ms) { return ms / kMsPerSecond; }

// Loaded millisecond values: a negative one becomes 0.
inline constexpr int32_t NonNegativeMs(int32_t ms) { return std::max(ms, 0); }
// A loaded refresh interval: a negative one becomes the default.
inline constexpr int32_t RefreshMs(int32_t ms) { return ms < 0 ? kDefaultFeedRefreshRateMs : ms; }

// The typing timer's period: 5 × (16 − step) ms, within the window system's
// timer range.
inline constexpr uint32_t TypingPeriodMs(int32_t speechSpeed) {
  const int64_t period = 5 * (16 - static_cast<int64_t>(speechSpeed));
  return static_cast<uint32_t>(
      std::clamp<int64_t>(period, kMinTypingPeriodMs, kMaxTypingPeriodMs));
}

}  // namespace quorvane
