#pragma once
// The gadget's short-lived wait threads: each waits a while on the stop
// event and then, unless the gadget is closing, posts one message to the
// gadget's message-only window.
//
// There is one running wait per message: a new wait for a message ends the
// one it replaces, which then posts nothing, so pausing and resuming during
// a long wait between screens does not pile up sleeping threads. Every
// thread's handle is kept until the thread has ended and then closed when
// the next wait starts. The stop event is manual-reset: Shutdown wakes all
// waiters at once and waits for every thread, so no wait thread outlives
// the gadget. The threads share only small blocks (stop event, closing
// flag, target window; their own wake event) with it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "win/base/UniqueHandle.h"

namespace quorvane {

class WaitThreads {
 public:
  WaitThreads() = default;
  ~WaitThreads() { Shutdown(); }
  WaitThreads(const WaitThreads&) = delete;
  WaitThreads& operator=(const WaitThreads&) = delete;

  // Creates the stop event; the threads will post to `target`.
  void Open(HWND target);

  // Ends the running wait for `message`, if any, without its post; then
  // starts a thread that ends at once if `skip` (optional) says so, else
  // waits `delayMs` on the stop event and then, unless closing or replaced,
  // posts `message` (both parameters 0). `skip` runs on the new thread and
  // must stay valid until Shutdown. False if no thread could be started.
  bool Start(UINT message, DWORD delayMs, std::function<bool()> skip = {});

  // Ends every running wait without its post.
  void EndAll();

  // Sets closing, signals the stop event, waits for every thread without
  // time-out and closes the event. Idempotent.
  void Shutdown();

  // Threads started and not yet seen to have ended.
  size_t Count();

 private:
  struct Shared {
    UniqueHandle stopEvent;
    std::atomic<bool> closing{false};
    HWND target = nullptr;
  };
  // What one thread shares with the set: set `replaced`, then signal `wake`.
  struct Wake {
    UniqueHandle event;
    std::atomic<bool> replaced{false};
  };
  struct Thread {
    UniqueHandle handle;
    UINT message = 0;
    std::shared_ptr<Wake> wake;
  };

  void ForgetEnded();
  // Marks the running waits for `message` (all, without one) replaced and
  // wakes them.
  void EndRunning(std::optional<UINT> message);

  std::shared_ptr<Shared> shared_;
  std::vector<Thread> threads_;
};

}  // namespace quorvane
