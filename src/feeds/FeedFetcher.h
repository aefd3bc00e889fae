#pragma once
// Keeps the gadget supplied with headlines: a worker thread downloads and
// parses every feed in turn, commits the records, posts the notification
// message it was given to the notification window and sleeps for the refresh interval; the
// user-interface thread takes one record per screen with NextItem.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "feeds/FeedItem.h"
#include "feeds/FeedWorker.h"
#include "win/base/UniqueHandle.h"

namespace quorvane {

class FeedFetcher {
 public:
  // Posts `notifyMessage` (both parameters 0) to `notifyWindow` after every cycle.
  FeedFetcher(HWND notifyWindow, UINT notifyMessage);
  // `makeSource` creates each worker's per-feed step on that worker's thread.
  FeedFetcher(HWND notifyWindow, UINT notifyMessage, FeedSourceFactory makeSource);
  virtual ~FeedFetcher();
  FeedFetcher(const FeedFetcher&) = delete;
  FeedFetcher& operator=(const FeedFetcher&) = delete;

  // Replaces the feed list, empties the store and starts a new worker. Never
  // waits for the network or a parse: a worker that does not stop within a
  // moment is left to end on its own, and the new one waits for it before
  // its first cycle, so at most one abandoned worker runs beside it. The
  // list the running worker has already is left as it is.
  void SetFeedList(std::u16string feedList);
  // Round robin over the store. When it is empty: the placeholder, or, once
  // every listed feed has failed, the status record that says so.
  FeedItem NextItem();
  // Steps the round robin back: the record before the one NextItem handed
  // out last, which the next NextItem follows.
  FeedItem PreviousItem();
  // Every listed feed's last outcome, in list order; NotTried until the
  // worker has reached it. The snapshot costs no copy of the list.
  std::shared_ptr<const FeedOutcomeSnapshot> OutcomeSnapshot() const;
  std::vector<FeedOutcome> Outcomes() const;
  // Takes effect at the worker's next wait.
  void SetRefreshIntervalMs(uint32_t ms);
  uint32_t RefreshIntervalMs() const;

  // How long stopping waits for the worker before leaving it to end alone.
  static constexpr DWORD kStopGraceMs = 200;

 private:
  void StopWorker();
  // Duplicates of the handles of abandoned workers that still run.
  std::vector<UniqueHandle> RunningPredecessors();

  std::shared_ptr<FeedStore> store_;
  FeedSourceFactory makeSource_;
  std::shared_ptr<FeedWorkerContext> worker_;
  UniqueHandle workerThread_;
  std::vector<UniqueHandle> abandoned_;  // stopped workers that had not ended
};

}  // namespace quorvane
