#include "gadget/WaitThreads.h"

#include <algorithm>

#include "host/com/ModuleThread.h"

namespace quorvane {

void WaitThreads::Open(HWND target) {
  Shutdown();
  shared_ = std::make_shared<Shared>();
  shared_->stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  shared_->target = target;
}

bool WaitThreads::Start(UINT message, DWORD delayMs, std::function<bool()> skip) {
  if (!shared_ || shared_->closing) return false;
  ForgetEnded();
  UniqueHandle thread = StartModuleThread([shared = shared_, message, delayMs, skip = std::move(skip)] {
    if (skip && skip()) return;
    WaitForSingleObject(shared->stopEvent.get(), delayMs);
    if (!shared->closing.load()) PostMessageW(shared->target, message, 0, 0);
  });
  if (!thread) return false;
  threads_.push_back(std::move(thread));
  return true;
}

void WaitThreads::Shutdown() {
  if (!shared_) return;
  shared_->closing = true;
  if (shared_->stopEvent) SetEvent(shared_->stopEvent.get());
  for (UniqueHandle& thread : threads_) WaitForSingleObject(thread.get(), INFINITE);
  threads_.clear();
  shared_.reset();  // the last owner: closes the stop event
}

size_t WaitThreads::Count() {
  ForgetEnded();
  return threads_.size();
}

void WaitThreads::ForgetEnded() {
  std::erase_if(threads_, [](const UniqueHandle& thread) {
    return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
  });
}

}  // namespace quorvane
