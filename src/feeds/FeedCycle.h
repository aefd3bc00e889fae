#pragma once
// The feeds of one cycle: each feed is downloaded and parsed on a thread of
// its own within a deadline, a few at a time; the results come back to the
// calling thread as they are done.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
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
// servers run at once, and never more than kMaxDownloadThreads feed
// threads in the module. A feed past its deadline (in its download or its
// parse), or silent for timing.silenceMs, is stopped and left to end on its
// own; it is "timed out", and its URL is not asked for again until that
// thread ended.
// A feed whose hint says to skip it is not asked for.
// Returns when every feed is done, or soon after `stop` is set (signal
// `wake` to make that prompt); stops its downloads on every way out.
void RunFeedCycle(const std::vector<std::u16string>& urls, const std::vector<size_t>& order,
                  const std::shared_ptr<FeedSource>& source, const std::atomic<bool>& stop, HANDLE wake,
                  const FeedTiming& timing, size_t concurrency, const FeedDone& done,
                  const std::vector<FeedRequestHint>& hints = {});

// One feed through the same step.
FeedResult RunFeedStep(const std::u16string& url, const std::shared_ptr<FeedSource>& source, uint32_t deadlineMs);

// Download threads of the module that have not ended.
size_t LiveDownloadThreads();

}  // namespace quorvane
