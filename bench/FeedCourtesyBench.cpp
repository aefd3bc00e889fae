// Runs the feed fetcher on the given feeds, cycles as close together as the
// worker allows, until the local server has had TOTAL requests for PATH;
// bench/feed_courtesy_bench.py reads what the server sent.
//
//   bench_feed_courtesy TOTAL PATH URL...
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "FeedServer.h"
#include "feeds/FeedFetcher.h"
#include "feeds/FeedTiming.h"

int wmain(int argc, wchar_t** argv) {
  using namespace quorvane;
  if (argc < 4) {
    std::fputs("usage: bench_feed_courtesy TOTAL PATH URL...\n", stderr);
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int total = _wtoi(argv[1]);
  const std::u16string path(reinterpret_cast<const char16_t*>(argv[2]));
  std::u16string list;
  for (int i = 3; i < argc; ++i) list += reinterpret_cast<const char16_t*>(argv[i]) + std::u16string(u" URL ");
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 500, .firstBackoffMs = 0});
  HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  int status = 1;
  {
    FeedFetcher fetcher(window, WM_APP);  // posts after cycles, which nothing here reads
    fetcher.SetRefreshIntervalMs(0);
    fetcher.SetFeedList(list);
    const ULONGLONG end = GetTickCount64() + 120'000;
    while (GetTickCount64() < end) {
      if (test::ServerHits(path) >= total) {
        status = 0;
        break;
      }
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
  }
  DestroyWindow(window);
  if (status) std::fputs("bench_feed_courtesy: the server was not asked often enough\n", stderr);
  return status;
}
