#include "feeds/FeedFetcher.h"

#include "win/com/ModuleThread.h"
#include "feeds/WebFeedSource.h"
#include "feeds/FeedListString.h"

namespace quorvane {

FeedFetcher::FeedFetcher(HWND notifyWindow, UINT notifyMessage)
    : FeedFetcher(notifyWindow, notifyMessage, MakeWebFeedSource) {}

FeedFetcher::FeedFetcher(HWND notifyWindow, UINT notifyMessage, FeedSourceFactory makeSource)
    : store_(std::make_shared<FeedStore>(
          [notifyWindow, notifyMessage] { PostMessageW(notifyWindow, notifyMessage, 0, 0); })),
      makeSource_(std::move(makeSource)) {}

FeedFetcher::~FeedFetcher() {
  store_->Close();  // nothing of the worker reaches the store or the window from now on
  StopWorker();
}

void FeedFetcher::StopWorker() {
  if (!worker_) return;
  worker_->stopRequested = true;
  SetEvent(worker_->wakeEvent.get());
  // The worker stops its downloads and ends within a moment, unless a parse
  // holds it; then it finishes on its own, holding its context, and the
  // module stays loaded until it has ended.
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
  auto context = std::make_shared<FeedWorkerContext>();
  context->urls = SplitFeedList(feedList);
  // A host sets the list from its saved state and again when it starts the
  // control. The same list while its worker runs changes nothing: a new
  // worker would forget the records, and with them the validators, and ask
  // every server for the whole feed once more.
  if (worker_ && worker_->urls == context->urls) return;
  // The old worker's commits are dropped from here on, and the cursor is
  // back at the first record.
  context->generation = store_->Reset(context->urls);
  StopWorker();
  context->wakeEvent = UniqueHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  context->store = store_;
  context->makeSource = makeSource_;
  context->timing = CurrentFeedTiming();
  context->predecessors = RunningPredecessors();
  if (!context->wakeEvent) return;  // without its event a worker could not wait
  workerThread_ = StartModuleThread([context] { RunFeedWorker(*context); });
  if (workerThread_) worker_ = std::move(context);
}

FeedItem FeedFetcher::NextItem() { return store_->Next(); }

FeedItem FeedFetcher::PreviousItem() { return store_->Previous(); }

std::shared_ptr<const FeedOutcomeSnapshot> FeedFetcher::OutcomeSnapshot() const { return store_->Outcomes(); }

std::vector<FeedOutcome> FeedFetcher::Outcomes() const {
  std::vector<FeedOutcome> outcomes;
  for (const auto& outcome : store_->Outcomes()->outcomes) outcomes.push_back(*outcome);
  return outcomes;
}

void FeedFetcher::SetRefreshIntervalMs(uint32_t ms) { store_->SetRefreshIntervalMs(ms); }

uint32_t FeedFetcher::RefreshIntervalMs() const { return store_->RefreshIntervalMs(); }

}  // namespace quorvane
