#include "gadget/WaitThreads.h"

#include <algorithm>

#include "win/com/ModuleThread.h"

namespace quorvane {

void WaitThreads::Open(HWND target) {
  Shutdown();
  shared_ = std::make_shared<Shared>();
  shared_->stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  shared_->target = target;
}

void WaitThreads::EndRunning(std::optional<UINT> message) {
  for (Thread& running : threads_) {
    if ((message && running.message != *message) || running.wake->replaced.exchange(true)) continue;
    SetEvent(running.wake->event.get());
  }
}

void WaitThreads::EndAll() {
  ForgetEnded();
  EndRunning(std::nullopt);
}

bool WaitThreads::Start(UINT message, DWORD delayMs, std::function<bool()> skip) {
  if (!shared_ || shared_->closing) return false;
  ForgetEnded();
  EndRunning(message);
  auto wake = std::make_shared<Wake>();
  wake->event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!wake->event) return false;
  UniqueHandle thread =
      StartModuleThread([shared = shared_, wake, message, delayMs, skip = std::move(skip)] {
        if (skip && skip()) return;
        const HANDLE events[] = {shared->stopEvent.get(), wake->event.get()};
        WaitForMultipleObjects(2, events, FALSE, delayMs);
        if (!shared->closing.load() && !wake->replaced.load()) PostMessageW(shared->target, message, 0, 0);
      });
  if (!thread) return false;
  threads_.push_back(Thread{std::move(thread), message, std::move(wake)});
  return true;
}

void WaitThreads::Shutdown() {
  if (!shared_) return;
  shared_->closing = true;
  if (shared_->stopEvent) SetEvent(shared_->stopEvent.get());
  for (Thread& thread : threads_) WaitForSingleObject(thread.handle.get(), INFINITE);
  threads_.clear();
  shared_.reset();  // the last owner: closes the stop event
}

size_t WaitThreads::Count() {
  ForgetEnded();
  return threads_.size();
}

void WaitThreads::ForgetEnded() {
  std::erase_if(threads_, [](const Thread& thread) {
    return WaitForSingleObject(thread.handle.get(), 0) == WAIT_OBJECT_0;
  });
}

}  // namespace quorvane
