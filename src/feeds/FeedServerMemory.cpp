#include "feeds/FeedServerMemory.h"

namespace quorvane {
namespace {

// Entries kept at most: a list that changes all day must not grow the
// table without end. Past it, any one entry goes: at worst a rest or a move
// is forgotten and the server asked once more.
constexpr size_t kMaxEntries = 4096;

}  // namespace

FeedServerMemory& FeedServerMemory::Module() {
  // Never destroyed: a download may still end while the process exits.
  static auto* memory = new FeedServerMemory;
  return *memory;
}

FeedServerMemory::Entry& FeedServerMemory::At(const std::u16string& url) {
  if (entries_.size() >= kMaxEntries && !entries_.contains(url)) entries_.erase(entries_.begin());
  return entries_[url];
}

void FeedServerMemory::Rest(const std::u16string& url, int64_t untilMs, std::u16string reason) {
  std::lock_guard<std::mutex> guard(lock_);
  Entry& entry = At(url);
  entry.restUntilMs = untilMs;
  entry.restReason = std::move(reason);
}

std::optional<std::u16string> FeedServerMemory::Resting(const std::u16string& url, int64_t nowMs) const {
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = entries_.find(url);
  if (it == entries_.end() || nowMs >= it->second.restUntilMs) return std::nullopt;
  return it->second.restReason;
}

void FeedServerMemory::Moved(const std::u16string& url, std::u16string target) {
  std::lock_guard<std::mutex> guard(lock_);
  At(url).movedTo = std::move(target);
}

std::u16string FeedServerMemory::Target(const std::u16string& url) const {
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = entries_.find(url);
  return it == entries_.end() || it->second.movedTo.empty() ? url : it->second.movedTo;
}

}  // namespace quorvane
