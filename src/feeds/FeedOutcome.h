#pragma once
// What the last attempt at one feed URL came to: whether it was read, how
// many headlines it gave and, when it failed, a short reason a user can act
// on ("HTTP 404", "timed out", ...). Kept per URL in feed-list order so the
// user can see which feed is broken and why.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {

enum class FeedState { NotTried, Ok, Failed };

struct FeedOutcome {
  std::u16string url;          // as the feed list gives it
  FeedState state = FeedState::NotTried;
  uint32_t recordCount = 0;
  int64_t lastSuccess = 0;     // seconds since 1970 (UTC) of the last success; 0 for never
  std::u16string finalUrl;     // where the feed was read from, after redirects and discovery
  std::u16string feedTitle;    // the feed's own title, once known
  std::u16string reason;       // why it failed, or a note ("not modified", ...); empty when neither
  uint16_t httpStatus = 0;     // of the last answer (304 when not modified); 0 when none came
  std::string etag;            // validators of the answer whose records are kept, exactly as received
  std::string lastModified;

  bool operator==(const FeedOutcome&) const = default;
};

inline FeedOutcome NotTriedOutcome(std::u16string url) {
  FeedOutcome outcome;
  outcome.url = std::move(url);
  return outcome;
}

inline FeedOutcome OkOutcome(std::u16string url, uint32_t recordCount) {
  FeedOutcome outcome;
  outcome.finalUrl = url;
  outcome.url = std::move(url);
  outcome.state = FeedState::Ok;
  outcome.recordCount = recordCount;
  return outcome;
}

// The outcome of a step that ended without reading the feed.
inline FeedOutcome FailedOutcome(std::u16string url, std::u16string reason) {
  FeedOutcome outcome;
  outcome.url = std::move(url);
  outcome.state = FeedState::Failed;
  outcome.reason = std::move(reason);
  return outcome;
}

// Every listed feed's last outcome at one moment, never changed once made:
// readers share it without a lock or a copy. `generation` differs between
// any two snapshots whose outcomes differ.
struct FeedOutcomeSnapshot {
  uint64_t generation = 0;
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes;  // in list order
};

// True when the list names feeds and every one of them failed its last try;
// false before the first cycle has ended.
inline bool AllFeedsFailed(const std::vector<FeedOutcome>& outcomes) {
  if (outcomes.empty()) return false;
  for (const FeedOutcome& outcome : outcomes)
    if (outcome.state != FeedState::Failed) return false;
  return true;
}

// "ok", "failed" or "not tried": how the status window, the tool and the
// automation interface name a state.
inline const char16_t* FeedStateName(FeedState state) {
  switch (state) {
    case FeedState::Ok: return u"ok";
    case FeedState::Failed: return u"failed";
    default: return u"not tried";
  }
}

}  // namespace quorvane
