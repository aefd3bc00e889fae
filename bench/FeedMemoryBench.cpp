// Memory one feed costs: downloads, decodes and parses one URL with the
// worker's own step and prints the records it gave, the time it took and
// the process's peak private bytes as Windows counts them (Wine's counters
// do not follow the heap: bench/feed_memory_bench.py measures the peak from
// outside). One feed per run, since the peak only ever grows.
//
//   bench_feed_memory URL
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "feeds/FeedCycle.h"
#include "feeds/WebFeedSource.h"
#include "win/com/Apartment.h"

namespace {

double PeakPrivateMb() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  return static_cast<double>(memory.PeakPagefileUsage) / (1024 * 1024);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: bench_feed_memory URL\n", stderr);
    return 2;
  }
  quorvane::ComApartment apartment(COINIT_MULTITHREADED);
  size_t records = 0;
  double before = 0;
  const ULONGLONG start = GetTickCount64();
  {
    const auto source = std::make_shared<quorvane::WebFeedSource>();
    before = PeakPrivateMb();
    const std::u16string url(reinterpret_cast<const char16_t*>(argv[1]));
    records = quorvane::RunFeedStep(url, source, 120'000).records.size();
  }
  const double after = PeakPrivateMb();
  std::printf("%ls\n  records %zu, %.1f s, peak private %.0f MB (%.0f MB before the feed, %.0f MB for it)\n", argv[1],
              records, (GetTickCount64() - start) / 1000.0, after, before, after - before);
  return 0;
}
