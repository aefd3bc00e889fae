#pragma once
// The worker's time bounds and its pacing between cycles.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "feeds/FeedOutcome.h"

namespace quorvane {

struct FeedTiming {
  uint32_t deadlineMs = 60'000;      // one feed's download, redirects and discovery included
  uint32_t cycleFloorMs = 60'000;    // least time between two cycle starts, whatever the interval
  uint32_t firstBackoffMs = 15'000;  // the wait after a first cycle that left nothing to show
  uint32_t quietMs = 2'000;          // a download silent this long lets the next feed start
  uint32_t silenceMs = 15'000;       // a download silent this long is over: "timed out"
};

// Downloads of one cycle that may be under way at once, not counting the
// quiet ones; and of the whole module, quiet, stopped and stuck ones
// included, however often the feed list changes.
inline constexpr size_t kConcurrentDownloads = 3;
inline constexpr size_t kMaxDownloadThreads = 16;

// The order in which a cycle starts its feeds (indices into the list):
// the feeds that failed last time after the others, each group in list
// order, so feeds that stall do not hold back the healthy ones.
std::vector<size_t> StartOrder(const std::vector<std::shared_ptr<const FeedOutcome>>& last);

// Whether a download still takes one of the cycle's places: not once it has
// heard nothing from its server for quietMs.
inline bool CountsAsActive(const FeedTiming& timing, uint64_t silentMs) { return silentMs < timing.quietMs; }

// What new workers take. Process-wide so that tests can shorten the bounds
// of a gadget they cannot reach into; the soak, which runs the module in
// the sidebar, sets the floor through the environment variable
// QUORVANE_TEST_CYCLE_FLOOR_MS (milliseconds), read once.
FeedTiming CurrentFeedTiming();
void SetFeedTiming(const FeedTiming& timing);

// How long the worker waits after a cycle that took `cycleMs` before the
// next one starts. While nothing has been shown (`emptyCycles` cycles in a
// row, this one included, ended with an empty store) the wait starts at
// firstBackoffMs and doubles each time, up to the refresh interval; with
// something shown it is the refresh interval. Either way, no cycle starts
// less than cycleFloorMs after the one before.
uint32_t DelayBeforeNextCycle(const FeedTiming& timing, uint32_t refreshMs, uint32_t emptyCycles, uint64_t cycleMs);

}  // namespace quorvane
