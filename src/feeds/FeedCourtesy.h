#pragma once
// How the gadget treats the servers it asks: what a cycle sends back, when
// a refused feed may be asked again and what the status then says.
// Platform-neutral: times are wall-clock milliseconds since 1970 (UTC).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/FeedOutcome.h"

namespace quorvane {

// No server rests a feed for longer than this, whatever it asks for.
inline constexpr int64_t kMaxRestMs = 24 * 60 * 60 * 1000;

// What a cycle knows of one feed before it asks for it.
struct FeedRequestHint {
  // Of the answer whose records the store holds; sent back so an unchanged
  // feed costs a 304. Empty when the store holds none of its records.
  std::string etag;
  std::string lastModified;
  // The address that answered with them, after its redirects: they go to
  // that address only, never to a page the feed was found on.
  std::u16string validatedUrl;
  // Not asked for in this cycle when set, which is then its reason: gone
  // (410) while this list stands, or resting the cycle after a 429 or 503.
  std::u16string skip;
  uint16_t skipStatus = 0;     // the outcome's httpStatus then (410 stays gone)
  int64_t nextCycleAtMs = 0;   // when the next cycle is due to start; 0 for none
  int64_t cycleMs = 0;         // the planned time between two cycles
};

// One hint per feed, from the feeds' last outcomes in this list.
std::vector<FeedRequestHint> CycleHints(const std::vector<std::shared_ptr<const FeedOutcome>>& last, int64_t nowMs,
                                        int64_t cycleMs);

// The wait a Retry-After value asks for, from `nowMs`: delta-seconds or an
// HTTP date (IMF-fixdate, RFC 850 or asctime form); nothing when it is
// neither. A date in the past asks for no wait.
std::optional<int64_t> ParseRetryAfterMs(std::string_view value, int64_t nowMs);

// Until when a feed refused with 429 or 503 rests: as Retry-After asks, but
// at least through the next cycle (which skips it, Retry-After or not) and
// at most kMaxRestMs.
int64_t RestUntilMs(std::optional<int64_t> retryAfterMs, int64_t nowMs, int64_t nextCycleAtMs, int64_t cycleMs);

// "rate limited until 14:05" (429) or "unavailable until 14:05" (503), in
// local time.
std::u16string RestReason(uint32_t httpStatus, int64_t untilMs);

inline constexpr char16_t kGoneReason[] = u"gone (HTTP 410)";
inline constexpr char16_t kNotModifiedReason[] = u"not modified";
inline constexpr char16_t kMovedReason[] = u"moved permanently to ";

// The outcome of a feed its hint skips.
inline FeedOutcome SkippedOutcome(std::u16string url, const FeedRequestHint& hint) {
  FeedOutcome outcome = FailedOutcome(std::move(url), hint.skip);
  outcome.httpStatus = hint.skipStatus;
  return outcome;
}

int64_t WallClockMs();

}  // namespace quorvane
