// Download threads while the feed list changes during stalled downloads:
// 30 changes 0.5 s apart, each list three feeds of a server that accepts
// and never answers. Prints the process's thread count after the changes
// and how long the module's threads take to end after the fetcher goes.
//
//   scripts/wine-run bench_feed_threads.exe BASE_URL     (bench/feed_engine_bench.py runs it)
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "ThreadCount.h"
#include "feeds/FeedCycle.h"
#include "feeds/FeedFetcher.h"
#include "win/com/Module.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_feed_threads BASE_URL\n");
    return 2;
  }
  const std::u16string base(reinterpret_cast<const char16_t*>(argv[1]));
  HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const int before = quorvane::test::ThreadsOfThisProcess();
  auto fetcher = std::make_unique<quorvane::FeedFetcher>(window, WM_APP);
  int most = 0;
  for (int change = 0; change < 30; ++change) {
    std::u16string list;
    for (int feed = 0; feed < 3; ++feed) {
      const std::wstring n = std::to_wstring(change * 3 + feed);
      list += base + u"/silent?s=120&n=" + std::u16string(n.begin(), n.end()) + u" URL ";
    }
    fetcher->SetFeedList(list);
    Sleep(500);
    most = std::max(most, static_cast<int>(quorvane::LiveDownloadThreads()));
  }
  std::printf("threads before: %d, after 30 list changes during stalls: %d (download threads: %zu, most seen %d)\n",
              before, quorvane::test::ThreadsOfThisProcess(), quorvane::LiveDownloadThreads(), most);
  const ULONGLONG released = GetTickCount64();
  fetcher.reset();
  while (quorvane::module::LockCount() > 0 && GetTickCount64() - released < 120'000) Sleep(50);
  std::printf("last of the module's threads ended %.1f s after the fetcher was deleted (threads now %d)\n",
              (GetTickCount64() - released) / 1000.0, quorvane::test::ThreadsOfThisProcess());
  DestroyWindow(window);
  return 0;
}
