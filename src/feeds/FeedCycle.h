#pragma once
// The feeds of one cycle: downloads run a few at a time, each on a thread of
// its own within a deadline; bodies are parsed on the calling thread as they
// arrive.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "feeds/FeedWorker.h"

namespace quorvane {

// Enough to keep one slow server from holding up the rest, few enough not
// to flood a host with a long list or hold many bodies in memory.
inline constexpr size_t kConcurrentDownloads = 3;

// How long a stopped cycle waits for its closed downloads before leaving
// them: well within the fetcher's own wait for its worker.
inline constexpr DWORD kStoppedDownloadGraceMs = 100;

struct FeedResult {
  FeedOutcome outcome;
  std::vector<FeedItem> records;
};

// Called on the cycle's thread as each feed is done, in the order they finish.
using FeedDone = std::function<void(size_t index, FeedResult result)>;

// Runs the per-feed step for every URL. A download still running at its
// deadline is abandoned: stopped, its request closed and left to end on its
// own (not every WinInet lets a blocked read be cancelled); the feed is
// "timed out". The downloads hold only what they share with nobody else,
// and each keeps the module loaded while it runs. Returns when every feed is
// done, or at once when `stop` is set (signal `wake` to make that prompt).
// An exception while a feed is parsed skips that feed.
void RunFeedCycle(const std::vector<std::u16string>& urls, FeedSource& source, const std::atomic<bool>& stop,
                  HANDLE wake, uint32_t deadlineMs, size_t concurrency, const FeedDone& done);

// One feed through the same step.
FeedResult RunFeedStep(const std::u16string& url, FeedSource& source, uint32_t deadlineMs);

}  // namespace quorvane
