// The wait threads: one post after the delay, none after Shutdown or from a
// replaced wait, and no thread left behind, however many were waiting.
#include <windows.h>

#include <gtest/gtest.h>

#include "gadget/WaitThreads.h"
#include "win/com/Module.h"

namespace quorvane {
namespace {

constexpr UINT kMessage = WM_APP + 42;

class WaitThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    baseLocks_ = module::LockCount();
    waits_.Open(window_);
  }
  void TearDown() override {
    waits_.Shutdown();
    DestroyWindow(window_);
  }

  // Posted messages (kMessage to kMessage + 2) for the window, waiting up to
  // `ms` for the first.
  int Posts(DWORD ms) {
    int count = 0;
    const ULONGLONG end = GetTickCount64() + ms;
    MSG msg;
    do {
      while (PeekMessageW(&msg, window_, kMessage, kMessage + 2, PM_REMOVE)) {
        EXPECT_EQ(msg.wParam, 0u);
        EXPECT_EQ(msg.lParam, 0);
        ++count;
      }
      if (count) break;
      Sleep(5);
    } while (GetTickCount64() < end);
    return count;
  }

  HWND window_ = nullptr;
  LONG baseLocks_ = 0;
  WaitThreads waits_;
};

TEST_F(WaitThreadsTest, PostsOnceAfterTheDelay) {
  ASSERT_TRUE(waits_.Start(kMessage, 1));
  EXPECT_EQ(Posts(5000), 1);
  waits_.Shutdown();
  EXPECT_EQ(module::LockCount(), baseLocks_);
}

TEST_F(WaitThreadsTest, SkippedWaitEndsWithoutPosting) {
  ASSERT_TRUE(waits_.Start(kMessage, 1, [] { return true; }));
  const ULONGLONG end = GetTickCount64() + 5000;
  while (waits_.Count() > 0 && GetTickCount64() < end) Sleep(1);
  ASSERT_EQ(waits_.Count(), 0u) << "the skipped wait did not end";
  EXPECT_EQ(Posts(50), 0);
}

// Pausing and resuming during an hour-long wait between screens starts a
// new wait each time: the one it replaces must end, not sleep on.
TEST_F(WaitThreadsTest, NewWaitForAMessageEndsTheOneItReplaces) {
  constexpr UINT kOther = kMessage + 1;
  ASSERT_TRUE(waits_.Start(kOther, 3'600'000));
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(waits_.Start(kMessage, 3'600'000));
  const ULONGLONG end = GetTickCount64() + 5000;
  while (waits_.Count() > 2 && GetTickCount64() < end) Sleep(5);
  EXPECT_EQ(waits_.Count(), 2u) << "one wait per message, the other one untouched";
  EXPECT_EQ(module::LockCount(), baseLocks_ + 2);
  EXPECT_EQ(Posts(50), 0) << "a replaced wait posts nothing";

  ASSERT_TRUE(waits_.Start(kMessage, 1));
  EXPECT_EQ(Posts(5000), 1);
  waits_.Shutdown();
  EXPECT_EQ(module::LockCount(), baseLocks_);
}

TEST_F(WaitThreadsTest, ShutdownWakesEverySleeperWithoutAPost) {
  for (UINT i = 0; i < 3; ++i) ASSERT_TRUE(waits_.Start(kMessage + i, 600'000));
  EXPECT_EQ(waits_.Count(), 3u);
  EXPECT_EQ(module::LockCount(), baseLocks_ + 3);  // each holds the module
  waits_.Shutdown();
  EXPECT_EQ(waits_.Count(), 0u);
  EXPECT_EQ(module::LockCount(), baseLocks_);
  EXPECT_EQ(Posts(50), 0);
  EXPECT_FALSE(waits_.Start(kMessage, 1)) << "a closed set starts nothing";
}

}  // namespace
}  // namespace quorvane
