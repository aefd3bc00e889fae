#include "feeds/FeedWorker.h"

#include <objbase.h>
#include <wininet.h>

#include <ctime>
#include <optional>

#include "feeds/FeedCycle.h"
#include "feeds/FeedDebugOutput.h"
#include "win/com/Apartment.h"

namespace quorvane {

void ClosePublishedHandle(std::atomic<void*>& published) {
  UniqueInternetHandle taken(static_cast<HINTERNET>(published.exchange(nullptr)));
}

void CloseCurrentRequest(FeedSignals& signals) {
  // The request first: it belongs to the session.
  ClosePublishedHandle(signals.currentRequest);
  ClosePublishedHandle(signals.currentSession);
}

namespace {

// Keeps the time of a feed's last success across cycles that fail.
void RecordOutcomes(std::vector<FeedOutcome>& kept, std::vector<FeedOutcome> latest) {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (FeedOutcome& outcome : latest) {
    if (outcome.state == FeedState::Ok) {
      outcome.lastSuccess = now;
      continue;
    }
    for (const FeedOutcome& old : kept)
      if (old.url == outcome.url) {
        outcome.lastSuccess = old.lastSuccess;
        if (outcome.feedTitle.empty()) outcome.feedTitle = old.feedTitle;
      }
  }
  kept = std::move(latest);
}

// Waits for the workers abandoned before this one, so that no more than one
// of them runs beside it; false when stopped meanwhile.
bool WaitForPredecessors(FeedWorkerContext& context) {
  for (const UniqueHandle& previous : context.predecessors) {
    const HANDLE handles[] = {previous.get(), context.wakeEvent.get()};
    WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (context.signals.stopRequested) return false;
  }
  context.predecessors.clear();
  return true;
}

// One cycle. While the store is empty, each feed's records go into it as
// soon as they are parsed, at their place in list order, so the first
// headline does not wait for the slowest feed; otherwise the store is
// replaced at the end. Returns the number of records committed, or nothing
// when stopped.
std::optional<size_t> RunCycle(FeedWorkerContext& context, FeedSource* source) {
  FeedStore& store = *context.store;
  const std::atomic<bool>& stop = context.signals.stopRequested;
  const size_t feeds = context.urls.size();
  std::vector<FeedOutcome> outcomes;
  for (const auto& url : context.urls) outcomes.push_back(NotTriedOutcome(url));
  std::vector<std::vector<FeedItem>> records(feeds);
  std::vector<size_t> counts(feeds, 0);
  bool filling;
  {
    std::lock_guard<std::mutex> guard(store.lock);
    filling = store.items.empty();
  }
  const auto onFeed = [&](size_t index, FeedResult result) {
    outcomes[index] = std::move(result.outcome);
    if (!filling || result.records.empty()) {
      records[index] = std::move(result.records);
      return;
    }
    size_t offset = 0;
    for (size_t i = 0; i < index; ++i) offset += counts[i];
    counts[index] = result.records.size();
    std::lock_guard<std::mutex> guard(store.lock);
    if (stop) return;
    if (store.items.empty()) {
      store.items = std::move(result.records);  // no second copy of a large feed
    } else {
      store.items.insert(store.items.begin() + static_cast<ptrdiff_t>(offset),
                         std::make_move_iterator(result.records.begin()), std::make_move_iterator(result.records.end()));
      if (offset < store.cursor) store.cursor += static_cast<uint32_t>(counts[index]);
    }
    if (store.cursor >= store.items.size()) store.cursor = 0;
    PostMessageW(context.notifyWindow, MSG_NEXT_SCREEN, 0, 0);
  };
  if (source) {
    RunFeedCycle(context.urls, *source, stop, context.wakeEvent.get(), context.timing.deadlineMs,
                 kConcurrentDownloads, onFeed);
  } else {
    for (size_t i = 0; i < feeds; ++i) outcomes[i] = FailedOutcome(context.urls[i], u"no parser");
  }

  std::vector<FeedItem> cycle;
  if (!filling)
    for (auto& feed : records) {
      if (cycle.empty()) {
        cycle = std::move(feed);
      } else {
        cycle.insert(cycle.end(), std::make_move_iterator(feed.begin()), std::make_move_iterator(feed.end()));
      }
      feed = {};
    }
  std::lock_guard<std::mutex> guard(store.lock);
  if (stop) return std::nullopt;
  RecordOutcomes(store.outcomes, std::move(outcomes));
  if (!filling) store.items = std::move(cycle);  // a filling store holds the cycle already
  if (store.cursor >= store.items.size()) store.cursor = 0;
  // Under the lock, so no post can follow the stop.
  PostMessageW(context.notifyWindow, MSG_NEXT_SCREEN, 0, 0);
  return store.items.size();
}

void RunCycles(FeedWorkerContext& context) {
  std::unique_ptr<FeedSource> source = context.makeSource ? context.makeSource() : nullptr;
  uint32_t emptyCycles = 0;
  while (!context.signals.stopRequested) {
    const ULONGLONG start = GetTickCount64();
    std::optional<size_t> committed;
    try {
      committed = RunCycle(context, source.get());
    } catch (...) {  // out of memory: keep the store as it was and try again later
      DebugLineA("Feed cycle abandoned, out of memory\n");
      committed = 1;
    }
    if (!committed) break;
    emptyCycles = *committed == 0 ? emptyCycles + 1 : 0;
    const uint32_t delay = DelayBeforeNextCycle(context.timing, context.store->refreshIntervalMs.load(), emptyCycles,
                                                GetTickCount64() - start);
    WaitForSingleObject(context.wakeEvent.get(), delay);
  }
}

}  // namespace

void RunFeedWorker(FeedWorkerContext& context) {
  if (!WaitForPredecessors(context)) return;
  // The worker has an apartment of its own (multithreaded) and its own
  // per-feed step with its own XML document: an object created on the
  // user-interface thread's apartment must not be called from here, and an
  // abandoned worker must not share a document with its successor.
  ComApartment apartment(COINIT_MULTITHREADED);
  RunCycles(context);
}

}  // namespace quorvane
