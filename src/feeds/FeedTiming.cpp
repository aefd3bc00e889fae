#include "feeds/FeedTiming.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace quorvane {
namespace {

std::mutex timingLock;
// The soak runs the gadget with a shorter floor than any user could set.
FeedTiming Defaults() {
  FeedTiming timing;
  if (const char* floor = std::getenv("QUORVANE_TEST_CYCLE_FLOOR_MS"))
    timing.cycleFloorMs = static_cast<uint32_t>(std::strtoul(floor, nullptr, 10));
  return timing;
}

FeedTiming& Timing() {
  static FeedTiming timing = Defaults();
  return timing;
}

}  // namespace

FeedTiming CurrentFeedTiming() {
  std::lock_guard<std::mutex> guard(timingLock);
  return Timing();
}

void SetFeedTiming(const FeedTiming& timing) {
  std::lock_guard<std::mutex> guard(timingLock);
  Timing() = timing;
}

std::vector<size_t> StartOrder(const std::vector<std::shared_ptr<const FeedOutcome>>& last) {
  std::vector<size_t> order;
  order.reserve(last.size());
  for (size_t i = 0; i < last.size(); ++i)
    if (last[i]->state != FeedState::Failed) order.push_back(i);
  for (size_t i = 0; i < last.size(); ++i)
    if (last[i]->state == FeedState::Failed) order.push_back(i);
  return order;
}

uint32_t DelayBeforeNextCycle(const FeedTiming& timing, uint32_t refreshMs, uint32_t emptyCycles, uint64_t cycleMs) {
  uint64_t delay = refreshMs;
  if (emptyCycles > 0) {
    const uint64_t backoff = static_cast<uint64_t>(timing.firstBackoffMs) << std::min<uint32_t>(emptyCycles - 1, 32);
    delay = std::min<uint64_t>(backoff, refreshMs);
  }
  if (cycleMs < timing.cycleFloorMs) delay = std::max<uint64_t>(delay, timing.cycleFloorMs - cycleMs);
  return static_cast<uint32_t>(std::min<uint64_t>(delay, UINT32_MAX));
}

}  // namespace quorvane
