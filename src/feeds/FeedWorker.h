#pragma once
// The pieces a feed worker shares with the fetcher that started it. A worker
// owns its context by shared ownership, so a worker its fetcher gave up
// waiting for can finish on its own without touching anything freed.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "feeds/FeedCourtesy.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedOutcome.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedTiming.h"
#include "win/base/UniqueHandle.h"

namespace quorvane {

// What a download shares with the cycle that watches it. The download
// owns its WinInet handles alone: a stop is only this flag, which it checks
// between calls, and every blocking call is bounded by its own time-out.
struct FeedSignals {
  std::atomic<bool> stopRequested{false};
  // GetTickCount64 when the response's headers or its latest bytes came
  // (the start, until then): how long the server has been silent.
  std::atomic<uint64_t> lastProgress{0};
  FeedRequestHint hint;  // set before the download starts
};

// What the download of one feed brought.
struct FeedBody {
  std::string bytes;
  std::string contentType;  // of the response, as the server sent it
  std::u16string finalUrl;  // where the body came from, after redirects and discovery
  std::u16string reason;    // why there is no body ("HTTP 404", ...); empty when read
  uint16_t httpStatus = 0;  // of the last answer; 304 brings no body and keeps the feed's records
  std::string etag;         // the answer's validators, exactly as received
  std::string lastModified;
  std::u16string movedTo;   // where the feed moved for good (301, 308); empty if it did not
};

// Downloads one feed, honouring the signals. Runs on a thread of its own
// that may outlive whoever started it, so it must hold all it uses.
using FeedDownloader = std::function<FeedBody(const std::u16string& url, FeedSignals& signals)>;

// The per-feed step in two halves, both on the feed's own thread: the
// download, and the parse of what it brought. One instance per worker,
// shared by its feeds' threads, so Parse may run on several at once; an
// abandoned feed's thread keeps it alive until it ends.
class FeedSource {
 public:
  virtual ~FeedSource() = default;
  virtual FeedDownloader Downloader() = 0;
  // Appends the feed's records to `cycle` and says what the feed came to.
  // Checks `stop` between items.
  virtual FeedOutcome Parse(const std::u16string& url, FeedBody body, const std::atomic<bool>& stop,
                            std::vector<FeedItem>& cycle) = 0;
};

using FeedSourceFactory = std::function<std::unique_ptr<FeedSource>()>;

struct FeedWorkerContext {
  std::vector<std::u16string> urls;
  uint64_t generation = 0;      // what the worker's commits carry
  std::atomic<bool> stopRequested{false};
  UniqueHandle wakeEvent;       // auto-reset; signalled only to stop the worker
  std::vector<UniqueHandle> predecessors;  // abandoned workers to wait for first
  std::shared_ptr<FeedStore> store;
  FeedSourceFactory makeSource;
  FeedTiming timing;
};

// Waits for the abandoned workers before it, then runs cycles until the
// context's stop flag is set. Catches everything: a cycle that fails stops
// its downloads and commits nothing.
void RunFeedWorker(FeedWorkerContext& context);

}  // namespace quorvane
