#pragma once
// A message-only window that stands for the control's: counts the
// notification posts it receives while the test thread pumps.
#include <windows.h>

namespace quorvane::test {

class PostCounter {
 public:
  PostCounter() : window_(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~PostCounter() { DestroyWindow(window_); }
  PostCounter(const PostCounter&) = delete;
  PostCounter& operator=(const PostCounter&) = delete;

  // The message a fetcher under test is told to post.
  static constexpr UINT kMessage = WM_APP + 7;

  HWND window() const { return window_; }

  // Takes the posts that are already queued.
  int Drain() {
    MSG msg;
    while (PeekMessageW(&msg, window_, kMessage, kMessage, PM_REMOVE)) ++count_;
    return count_;
  }

  // Pumps until `total` posts have arrived in all or the time is up.
  bool WaitFor(int total, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (Drain() < total) {
      if (GetTickCount64() >= end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
    }
    return true;
  }

  int count() const { return count_; }

 private:
  HWND window_;
  int count_ = 0;
};

inline ULONGLONG ElapsedMs(ULONGLONG start) { return GetTickCount64() - start; }

// Polls `done` until it holds or `timeoutMs` has passed; whether it held.
template <class Done>
bool WaitUntil(Done done, DWORD timeoutMs = 10'000) {
  const ULONGLONG start = GetTickCount64();
  while (!done()) {
    if (ElapsedMs(start) >= timeoutMs) return done();
    Sleep(2);
  }
  return true;
}

}  // namespace quorvane::test
