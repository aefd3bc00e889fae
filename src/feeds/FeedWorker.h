#pragma once
// The pieces a feed worker shares with the fetcher that started it. A worker
// owns its context by shared ownership, so a worker that is still blocked in
// the network when its fetcher gives up waiting can finish on its own
// without touching anything that has been freed.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "feeds/FeedItem.h"
#include "feeds/FeedOutcome.h"
#include "feeds/FeedTiming.h"
#include "win/com/UniqueHandle.h"

namespace quorvane {

inline constexpr UINT MSG_NEXT_SCREEN = 0xC189;
inline constexpr uint32_t kDefaultRefreshIntervalMs = 30 * 60 * 1000;

// The headline store and the refresh interval, shared by the fetcher and
// every worker it ever started.
struct FeedStore {
  std::mutex lock;  // guards items, cursor and the workers' stop flags
  std::vector<FeedItem> items;
  uint32_t cursor = 0;
  std::vector<FeedOutcome> outcomes;  // one per listed URL, in list order
  std::atomic<uint32_t> refreshIntervalMs{kDefaultRefreshIntervalMs};
};

// What a download shares with the thread that stops it.
struct FeedSignals {
  std::atomic<bool> stopRequested{false};
  std::atomic<void*> currentSession{nullptr};  // the open WinInet session, if any
  std::atomic<void*> currentRequest{nullptr};  // the open WinInet request, if any
};

// Takes a published WinInet handle by atomic exchange and closes it, if it
// was still there: whoever takes a handle closes it, so each is closed
// exactly once.
void ClosePublishedHandle(std::atomic<void*>& published);

// Closes the published request, then the session (the request belongs to it).
void CloseCurrentRequest(FeedSignals& signals);

// What the download of one feed brought.
struct FeedBody {
  std::string bytes;
  std::string contentType;  // of the response, as the server sent it
  std::u16string finalUrl;  // where the body came from, after redirects and discovery
  std::u16string reason;    // why there is no body ("HTTP 404", ...); empty when read
};

// Downloads one feed, honouring the signals. Runs on a thread of its own
// that may outlive whoever started it, so it must hold all it uses.
using FeedDownloader = std::function<FeedBody(const std::u16string& url, FeedSignals& signals)>;

// The per-feed step in two halves: the download, which may block in the
// network and is abandoned when it takes too long, and the parse, which runs
// on the worker's own thread. One instance per worker, created and used on
// the worker's thread.
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
  FeedSignals signals;          // only the stop flag is used
  UniqueHandle wakeEvent;       // auto-reset; signalled only to stop the worker
  std::vector<UniqueHandle> predecessors;  // abandoned workers to wait for first
  HWND notifyWindow = nullptr;
  std::shared_ptr<FeedStore> store;
  FeedSourceFactory makeSource;
  FeedTiming timing;
};

// Waits for the abandoned workers before it, then runs cycles until the
// context's stop flag is set. Commits and posts only while not stopped,
// both under the store's lock, so nothing of a stopped worker reaches the
// store or the window.
void RunFeedWorker(FeedWorkerContext& context);

}  // namespace quorvane
