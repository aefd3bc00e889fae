#pragma once
// The four persisted settings of the gadget, in the control's own units.
#include <cstdint>
#include <string>

namespace quorvane {

// A public news feed, asked for in RSS form.
inline constexpr char16_t kDefaultFeedUrl[] = u"https://news.google.com/news?output=rss";

inline constexpr int32_t kDefaultFeedRefreshRateMs = 1'800'000;  // 30 minutes
// Seven seconds: long enough to read a screen's last line before it goes.
inline constexpr int32_t kDefaultDelayBetweenFeedsMs = 7'000;
inline constexpr int32_t kDefaultSpeechSpeed = 0;

struct GadgetSettingsRecord {
  std::u16string feedUrls = kDefaultFeedUrl;  // the feed list string
  int32_t feedRefreshRateMs = kDefaultFeedRefreshRateMs;
  int32_t delayBetweenFeedsMs = kDefaultDelayBetweenFeedsMs;
  int32_t speechSpeed = kDefaultSpeechSpeed;

  bool operator==(const GadgetSettingsRecord&) const = default;
};

// The value stored for a put or load of the feed list: an empty one means
// the default feed.
inline std::u16string FeedListOrDefault(std::u16string value) {
  return value.empty() ? std::u16string(kDefaultFeedUrl) : std::move(value);
}

}  // namespace quorvane
