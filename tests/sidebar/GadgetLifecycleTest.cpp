// Creates and destroys the gadget in the sidebar 500 times in one process,
// each time with a feed download under way against a server that stalls:
// nothing may be left behind (handles, GDI and USER objects, threads) and
// nothing may crash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "FeedServer.h"
#include "QuorvaneRSS_h.h"
#include "sidebar/GadgetFactory.h"
#include "harness/ProcessStats.h"
#include "sidebar/SidebarWindow.h"
#include "WineTestPaths.h"
#include "win/com/Apartment.h"

namespace quorvane::sidebar {
namespace {

constexpr int kCycles = 500;

std::wstring ServerUrl(const char16_t* path) {
  const std::u16string url = test::FeedServer() + path;
  return std::wstring(url.begin(), url.end());
}

void Pump(DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount64() < until);
}

TEST(GadgetLifecycleTest, FiveHundredGadgetsWithDownloadsUnderWayLeaveNothingBehind) {
  OleApartment apartment;
  ASSERT_EQ(apartment.Result(), S_OK);
  {
    GadgetFactory factory(testing::BuildPath(L"src\\sidebar\\QuorvaneRSS.dll"));
    SidebarWindow sidebar(factory);
    ASSERT_TRUE(sidebar.Create());
    const std::wstring noState = testing::BuildPath(L"no-such-folder\\none.state");
    // Each download stalls 2 s after the headers, then the server closes.
    const std::wstring feeds = ServerUrl(u"/stall-after-headers?s=2&unsized=1") + L" URL ";
    const int hitsBefore = test::ServerHits(u"/stall-after-headers");

    auto cycle = [&] {
      const int hits = test::ServerHits(u"/stall-after-headers");
      ASSERT_EQ(sidebar.AddGadget(kGadgetClassId, noState), S_OK);
      ComPtr<IQuorvaneRSSGadget> gadget;
      ASSERT_EQ(sidebar.Gadget(0).Control()->QueryInterface(IID_PPV_ARGS(&gadget)), S_OK);
      UniqueBstr value(feeds.c_str());
      gadget->put_FeedURLs(value.get());
      // The start message, then the worker's request: on a busy machine (or
      // a 32-bit process under WoW64) it may take more than a few ms.
      Pump(25);
      for (int wait = 0; wait < 40 && test::ServerHits(u"/stall-after-headers") == hits; ++wait) Pump(25);
      gadget.Reset();
      sidebar.RemoveGadget(0);
    };

    // The first gadget loads the module, fonts and WinInet for good.
    cycle();
    Pump(3000);
    const ProcessStats before = CurrentProcessStats();

    for (int i = 0; i < kCycles && !HasFatalFailure(); ++i) cycle();

    // Stalled downloads end when the server closes them (Wine's WinInet
    // does not abort a read); give their threads time to finish.
    ProcessStats after = CurrentProcessStats();
    for (int wait = 0; wait < 60 && (after.threads > before.threads || after.handles > before.handles + 8); ++wait) {
      Pump(500);
      after = CurrentProcessStats();
    }
    std::printf("after 1 cycle: %lu handles, %lu GDI, %lu USER objects, %lu threads, %llu KB private\n",
                before.handles, before.gdiObjects, before.userObjects, before.threads,
                static_cast<unsigned long long>(before.privateBytes / 1024));
    std::printf("after %d more: %lu handles, %lu GDI, %lu USER objects, %lu threads, %llu KB private\n", kCycles,
                after.handles, after.gdiObjects, after.userObjects, after.threads,
                static_cast<unsigned long long>(after.privateBytes / 1024));
    EXPECT_GE(test::ServerHits(u"/stall-after-headers") - hitsBefore, kCycles * 9 / 10) << "downloads were not under way";
    EXPECT_LE(after.threads, before.threads);
    // A few handles of the system's own caches may come and go.
    EXPECT_LE(after.handles, before.handles + 8);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 4);
    EXPECT_LE(after.userObjects, before.userObjects + 4);
    sidebar.Close();
  }
}

}  // namespace
}  // namespace quorvane::sidebar
