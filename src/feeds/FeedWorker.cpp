#include "feeds/FeedWorker.h"

#include <algorithm>
#include <optional>

#include "feeds/FeedCycle.h"
#include "feeds/FeedDebugOutput.h"

namespace quorvane {
namespace {

// Waits for the workers abandoned before this one, so that no more than one
// of them runs beside it; false when stopped meanwhile.
bool WaitForPredecessors(FeedWorkerContext& context) {
  for (const UniqueHandle& previous : context.predecessors) {
    const HANDLE handles[] = {previous.get(), context.wakeEvent.get()};
    WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (context.stopRequested) return false;
  }
  context.predecessors.clear();
  return true;
}

// One cycle, feeds that failed last time started last. Returns the number
// of records stored, or nothing when stopped.
std::optional<size_t> RunCycle(FeedWorkerContext& context, const std::shared_ptr<FeedSource>& source) {
  FeedStore& store = *context.store;
  const uint64_t generation = context.generation;
  store.BeginCycle(generation);
  const auto onFeed = [&](size_t index, FeedResult result) {
    store.FeedDone(generation, index, std::move(result.outcome), std::move(result.records));
  };
  if (source) {
    const auto last = store.Outcomes();
    const int64_t cycleMs = std::max(store.RefreshIntervalMs(), context.timing.cycleFloorMs);
    RunFeedCycle(context.urls, StartOrder(last->outcomes), source, context.stopRequested, context.wakeEvent.get(),
                 context.timing, kConcurrentDownloads, onFeed, CycleHints(last->outcomes, WallClockMs(), cycleMs));
  } else {
    for (size_t i = 0; i < context.urls.size(); ++i) onFeed(i, {FailedOutcome(context.urls[i], u"no parser"), {}});
  }
  if (context.stopRequested) return std::nullopt;
  return store.EndCycle(generation);
}

void RunCycles(FeedWorkerContext& context) {
  const std::shared_ptr<FeedSource> source = context.makeSource ? context.makeSource() : nullptr;
  uint32_t emptyCycles = 0;
  while (!context.stopRequested) {
    const ULONGLONG start = GetTickCount64();
    std::optional<size_t> stored;
    try {
      stored = RunCycle(context, source);
      if (!stored) return;
    } catch (...) {  // out of memory: the cycle's downloads are stopped, the store stays as it was
      DebugLineA("Feed cycle abandoned, out of memory\n");
    }
    // A failed cycle counts as one that showed nothing, so it is retried
    // with the back-off rather than at once.
    emptyCycles = stored.value_or(0) == 0 ? emptyCycles + 1 : 0;
    const uint32_t delay = DelayBeforeNextCycle(context.timing, context.store->RefreshIntervalMs(), emptyCycles,
                                                GetTickCount64() - start);
    WaitForSingleObject(context.wakeEvent.get(), delay);
  }
}

}  // namespace

void RunFeedWorker(FeedWorkerContext& context) {
  try {
    if (!WaitForPredecessors(context)) return;
    RunCycles(context);
  } catch (...) {  // nothing may escape a thread; the worker ends and the store keeps what it has
    DebugLineA("Feed worker ended, out of memory\n");
  }
}

}  // namespace quorvane
