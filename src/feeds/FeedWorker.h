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
#include "host/com/UniqueHandle.h"

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

// What the per-feed step shares with the thread that stops it.
struct FeedSignals {
  std::atomic<bool> stopRequested{false};
  std::atomic<void*> currentRequest{nullptr};  // the open WinInet request, if any
};

// Takes the published request by atomic exchange and closes it, if there
// was one: whoever takes it closes it, so it is closed exactly once.
void CloseCurrentRequest(FeedSignals& signals);

// The per-feed step: download, decode and parse one URL, appending records
// to the cycle's list, and say what it came to. One instance per worker,
// created and used on the worker's own thread.
class FeedSource {
 public:
  virtual ~FeedSource() = default;
  virtual FeedOutcome Fetch(const std::u16string& url, FeedSignals& signals, std::vector<FeedItem>& cycle) = 0;
};

using FeedSourceFactory = std::function<std::unique_ptr<FeedSource>()>;

struct FeedWorkerContext {
  std::vector<std::u16string> urls;
  FeedSignals signals;
  UniqueHandle wakeEvent;  // auto-reset; signalled only to stop the wait
  HWND notifyWindow = nullptr;
  std::shared_ptr<FeedStore> store;
  FeedSourceFactory makeSource;
};

// Runs cycles until the context's stop flag is set. Commits and posts only
// while not stopped, both under the store's lock, so nothing of a stopped
// worker reaches the store or the window.
void RunFeedWorker(FeedWorkerContext& context);

}  // namespace quorvane
