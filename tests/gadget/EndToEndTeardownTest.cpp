// The built QuorvaneRSS.dll closed by its host while a feed download sits
// in a read that the server stalls: the last release returns at once, the
// module refuses to unload while the abandoned worker still runs its code,
// and once that worker has ended it unloads with no thread of its own left.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "EndToEnd.h"
#include "GadgetDll.h"
#include "QuorvaneRSS_h.h"
#include "ThreadCount.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

bool WaitFor(DWORD ms, const auto& done) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    TestContainer::PumpPending();
    Sleep(20);
  }
  return true;
}

// Creates the gadget through the module's class factory and starts it as
// a host does: sited, in place in the container's window, settings
// initialised, then the feed list.
void StartGadget(const GadgetDll& dll, TestContainer& container, const std::u16string& feeds,
                 ComPtr<IUnknown>& control) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(dll.GetClassObject(CLSID_QuorvaneRSSGadget, IID_PPV_ARGS(&factory)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&control)), S_OK);
  ASSERT_EQ(container.Embed(control.Get()), S_OK);
  ASSERT_EQ(container.Activate(), S_OK);
  InitNewWithFeeds(control.Get(), feeds);
}

// What a host does last: close the control and let go of it. Returns how
// long that took.
ULONGLONG CloseAndRelease(TestContainer& container, ComPtr<IUnknown>& control) {
  const ULONGLONG start = GetTickCount64();
  container.Close();
  control.Reset();
  return GetTickCount64() - start;
}

class EndToEndTeardownTest : public ::testing::TestWithParam<const char16_t*> {
 protected:
  void SetUp() override {
    if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
  }
};

TEST_P(EndToEndTeardownTest, ReleaseDuringAStalledDownloadReturnsAtOnceAndTheModuleWaitsForTheWorker) {
  const std::u16string route = GetParam();
  OleApartment apartment;
  // Asking the server first also starts whatever threads the platform's
  // network layer keeps for the process.
  const int hitsBefore = ServerHits(route);
  ASSERT_GE(hitsBefore, 0) << "the feed server does not answer";
  const int threadsBefore = ThreadsOfThisProcess();
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded()) << "cannot load " << std::string(GadgetDll::Path().begin(), GadgetDll::Path().end());

  ULONGLONG released = 0;
  {
    TestContainer container;
    ComPtr<IUnknown> control;
    StartGadget(dll, container, ServedFeedList(route + u"?s=4"), control);
    if (HasFatalFailure()) return;

    // Started and typing; the worker's request has reached the server and
    // the server holds it.
    ASSERT_TRUE(container.PumpUntil(5000, [&] { return ServerHits(route) > hitsBefore; }));
    container.PumpUntil(300, [] { return false; });
    EXPECT_GT(ThreadsOfThisProcess(), threadsBefore);

    released = GetTickCount64();
    EXPECT_LT(CloseAndRelease(container, control), 1000u) << "the host's thread waited for the stalled download";
  }
  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE) << "the blocked worker still runs the module's code";

  // The server closes the connection after 4 s; the worker then ends and
  // with it the module's last lock and its last thread.
  EXPECT_TRUE(WaitFor(15000, [&] { return dll.CanUnloadNow() == S_OK; }));
  EXPECT_GE(GetTickCount64() - released, 1500u) << "the module was free before the worker could have ended";
  EXPECT_TRUE(WaitFor(5000, [&] { return ThreadsOfThisProcess() <= threadsBefore; }))
      << ThreadsOfThisProcess() << " threads, " << threadsBefore << " before";
  EXPECT_TRUE(dll.Unload()) << "a thread still holds the module";
}

INSTANTIATE_TEST_SUITE_P(StallRoutes, EndToEndTeardownTest,
                         ::testing::Values(u"/stall-after-headers", u"/stall-mid-body"),
                         [](const auto& info) { return info.index == 0 ? "AfterHeaders" : "MidBody"; });

// The usual close: the worker waits for its next cycle while the gadget types
// served headlines, notices the stop at once, and the module is free within
// a moment.
TEST_F(EndToEndTeardownTest, ClosingWhileServedHeadlinesAreTypedFreesTheModuleAtOnce) {
  OleApartment apartment;
  ASSERT_GE(ServerHits(u"/feeds/rss2.xml"), 0) << "the feed server does not answer";
  const int threadsBefore = ThreadsOfThisProcess();
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  {
    TestContainer container;
    ComPtr<IUnknown> control;
    StartGadget(dll, container, ServedFeedList(u"/feeds/rss2.xml"), control);
    if (HasFatalFailure()) return;
    // The module's own drawing shows a headline: its title in the title bar.
    const HWND window = ControlWindow(control.Get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(container.PumpUntil(10000, [&] {
      UpdateWindow(window);
      return LinkInk(*CaptureWindow(window, "e2e_dll_headline"), RECT{3, 1, 157, 15}) > 20;
    }));
    EXPECT_LT(CloseAndRelease(container, control), 1000u);
  }
  EXPECT_TRUE(WaitFor(1000, [&] { return dll.CanUnloadNow() == S_OK; }));
  EXPECT_TRUE(WaitFor(2000, [&] { return ThreadsOfThisProcess() <= threadsBefore; }))
      << ThreadsOfThisProcess() << " threads, " << threadsBefore << " before";
  EXPECT_TRUE(dll.Unload()) << "a thread still holds the module";
}

}  // namespace
}  // namespace quorvane::test
