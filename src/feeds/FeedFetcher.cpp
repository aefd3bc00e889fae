#include "feeds/FeedFetcher.h"

#include "win/com/ModuleThread.h"
#include "feeds/WebFeedSource.h"
#include "settings/FeedList.h"

namespace quorvane {

FeedFetcher::FeedFetcher(HWND notifyWindow) : FeedFetcher(notifyWindow, MakeWebFeedSource) {}

FeedFetcher::FeedFetcher(HWND notifyWindow, FeedSourceFactory makeSource)
    : store_(std::make_shared<FeedStore>()), makeSource_(std::move(makeSource)), notifyWindow_(notifyWindow) {}

FeedFetcher::~FeedFetcher() { StopWorker(); }

void FeedFetcher::StopWorker() {
  if (!worker_) return;
  {
    std::lock_guard<std::mutex> guard(store_->lock);
    worker_->signals.stopRequested = true;
  }
  CloseCurrentRequest(worker_->signals);
  SetEvent(worker_->wakeEvent.get());
  // Closing the request aborts a blocked read on Windows but not everywhere;
  // a worker still blocked after a moment finishes on its own, holding its
  // context, and the module stays loaded until it has ended.
  if (workerThread_ && WaitForSingleObject(workerThread_.get(), kStopGraceMs) == WAIT_TIMEOUT)
    abandoned_.push_back(std::move(workerThread_));
  workerThread_.reset();
  worker_.reset();
}

std::vector<UniqueHandle> FeedFetcher::RunningPredecessors() {
  std::erase_if(abandoned_, [](const UniqueHandle& thread) { return WaitForSingleObject(thread.get(), 0) != WAIT_TIMEOUT; });
  std::vector<UniqueHandle> copies;
  for (const UniqueHandle& thread : abandoned_) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), thread.get(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
      copies.emplace_back(copy);
  }
  return copies;
}

void FeedFetcher::SetFeedList(std::u16string feedList) {
  StopWorker();
  auto context = std::make_shared<FeedWorkerContext>();
  context->urls = SplitFeedList(feedList);
  context->wakeEvent = UniqueHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  context->notifyWindow = notifyWindow_;
  context->store = store_;
  context->makeSource = makeSource_;
  context->timing = CurrentFeedTiming();
  context->predecessors = RunningPredecessors();
  {
    std::lock_guard<std::mutex> guard(store_->lock);
    store_->items.clear();  // the cursor comes back into range at the next commit
    store_->outcomes.clear();
    for (const auto& url : context->urls) store_->outcomes.push_back(NotTriedOutcome(url));
  }
  if (!context->wakeEvent) return;  // without its event a worker could not wait
  workerThread_ = StartModuleThread([context] { RunFeedWorker(*context); });
  if (workerThread_) worker_ = std::move(context);
}

FeedItem FeedFetcher::NextItem() {
  std::lock_guard<std::mutex> guard(store_->lock);
  if (store_->items.empty()) return AllFeedsFailed(store_->outcomes) ? NoFeedReadItem() : PlaceholderItem();
  FeedItem item = store_->items[store_->cursor];
  if (++store_->cursor >= store_->items.size()) store_->cursor = 0;
  return item;
}

FeedItem FeedFetcher::PreviousItem() {
  std::lock_guard<std::mutex> guard(store_->lock);
  const size_t count = store_->items.size();
  if (count == 0) return AllFeedsFailed(store_->outcomes) ? NoFeedReadItem() : PlaceholderItem();
  // The cursor is one past the record on screen.
  const size_t previous = (store_->cursor + 2 * count - 2) % count;
  store_->cursor = static_cast<uint32_t>((previous + 1) % count);
  return store_->items[previous];
}

std::vector<FeedOutcome> FeedFetcher::Outcomes() const {
  std::lock_guard<std::mutex> guard(store_->lock);
  return store_->outcomes;
}

void FeedFetcher::SetRefreshIntervalMs(uint32_t ms) { store_->refreshIntervalMs = ms; }

uint32_t FeedFetcher::RefreshIntervalMs() const { return store_->refreshIntervalMs; }

}  // namespace quorvane
