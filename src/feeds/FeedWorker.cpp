#include "feeds/FeedWorker.h"

#include <objbase.h>
#include <wininet.h>

#include <ctime>

namespace quorvane {

void CloseCurrentRequest(FeedSignals& signals) {
  if (void* request = signals.currentRequest.exchange(nullptr)) InternetCloseHandle(static_cast<HINTERNET>(request));
}

namespace {

// Keeps the time of a feed's last success across cycles that fail.
void RecordOutcomes(std::vector<FeedOutcome>& kept, std::vector<FeedOutcome> latest) {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (FeedOutcome& outcome : latest) {
    if (outcome.state == FeedState::Ok) {
      outcome.lastSuccess = now;
      continue;
    }
    for (const FeedOutcome& old : kept)
      if (old.url == outcome.url) {
        outcome.lastSuccess = old.lastSuccess;
        if (outcome.feedTitle.empty()) outcome.feedTitle = old.feedTitle;
      }
  }
  kept = std::move(latest);
}

}  // namespace

void RunFeedWorker(FeedWorkerContext& context) {
  // The worker has an apartment of its own (multithreaded) and its own
  // per-feed step with its own XML document: an object created on the
  // user-interface thread's apartment must not be called from here, and an
  // abandoned worker must not share a document with its successor.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    std::unique_ptr<FeedSource> source = context.makeSource ? context.makeSource() : nullptr;
    FeedSignals& signals = context.signals;
    FeedStore& store = *context.store;
    while (!signals.stopRequested) {
      std::vector<FeedItem> cycle;
      std::vector<FeedOutcome> outcomes;
      for (const auto& url : context.urls) {
        if (signals.stopRequested) break;
        outcomes.push_back(source ? source->Fetch(url, signals, cycle) : FailedOutcome(url, u"no parser"));
      }
      {
        std::lock_guard<std::mutex> guard(store.lock);
        if (signals.stopRequested) break;
        RecordOutcomes(store.outcomes, std::move(outcomes));
        store.items = std::move(cycle);
        if (store.cursor >= store.items.size()) store.cursor = 0;
        // Under the lock, so no post can follow the stop.
        PostMessageW(context.notifyWindow, MSG_NEXT_SCREEN, 0, 0);
      }
      WaitForSingleObject(context.wakeEvent.get(), store.refreshIntervalMs.load());
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace quorvane
