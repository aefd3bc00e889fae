#pragma once
// What the gadget remembers of the servers it reads, for the module's
// lifetime. Platform-neutral; times are wall-clock milliseconds since 1970.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace quorvane {

// Per feed URL, for the module's lifetime: feeds resting after a 429 or 503
// (a new list must not ask a server that asked for quiet), and feeds that
// moved for good (301, 308). Shared by every download thread.
class FeedServerMemory {
 public:
  static FeedServerMemory& Module();

  void Rest(const std::u16string& url, int64_t untilMs, std::u16string reason);
  // The rest's status text while the feed rests at `nowMs`.
  std::optional<std::u16string> Resting(const std::u16string& url, int64_t nowMs) const;
  void Moved(const std::u16string& url, std::u16string target);
  // Where `url` is asked for: its new address once it moved for good.
  std::u16string Target(const std::u16string& url) const;

 private:
  struct Entry {
    int64_t restUntilMs = 0;
    std::u16string restReason;
    std::u16string movedTo;
  };
  Entry& At(const std::u16string& url);

  mutable std::mutex lock_;
  std::unordered_map<std::u16string, Entry> entries_;
};

}  // namespace quorvane
