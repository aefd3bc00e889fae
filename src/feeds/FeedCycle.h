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

// How long a stopped cycle waits for its downloads before leaving them:
// well within the fetcher's own wait for its worker.
inline constexpr DWORD kStoppedDownloadGraceMs = 100;

struct FeedResult {
  FeedOutcome outcome;
  std::vector<FeedItem> records;
};

// Called on the cycle's thread as each feed is done, in the order they finish.
using FeedDone = std::function<void(size_t index, FeedResult result)>;

// Runs the per-feed step for every URL, starting them in `order` (indices
// into `urls`). At most `concurrency` downloads that still hear from their
// servers run at once, and never more than kMaxDownloadThreads download
// threads in the module. A download past its deadline, or silent for
// timing.silenceMs, is stopped and left to end on its own; the feed is
// "timed out", and its URL is not asked for again until that thread ended.
// Returns when every feed is done, or soon after `stop` is set (signal
// `wake` to make that prompt); stops its downloads on every way out.
void RunFeedCycle(const std::vector<std::u16string>& urls, const std::vector<size_t>& order, FeedSource& source,
                  const std::atomic<bool>& stop, HANDLE wake, const FeedTiming& timing, size_t concurrency,
                  const FeedDone& done);

// One feed through the same step.
FeedResult RunFeedStep(const std::u16string& url, FeedSource& source, uint32_t deadlineMs);

// Download threads of the module that have not ended.
size_t LiveDownloadThreads();

}  // namespace quorvane
