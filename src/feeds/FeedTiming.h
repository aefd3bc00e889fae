#pragma once
// The worker's time bounds and its pacing between cycles.
#include <cstdint>

namespace quorvane {

struct FeedTiming {
  uint32_t deadlineMs = 60'000;      // one feed's download, redirects and discovery included
  uint32_t cycleFloorMs = 60'000;    // least time between two cycle starts, whatever the interval
  uint32_t firstBackoffMs = 15'000;  // the wait after a first cycle that left nothing to show
};

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
