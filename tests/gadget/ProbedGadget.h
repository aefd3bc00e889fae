#pragma once
// The real gadget control with its outward effects replaced, for tests that
// drive it through its COM interfaces: the fetcher downloads nothing (it
// records the URLs it is asked for), timers are recorded instead of set,
// links are recorded instead of opened, and the record the next screen
// takes is chosen by the test.
#include <windows.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "GadgetControlProbe.h"

namespace quorvane {

namespace test {

// The URLs the fetcher's workers were asked for, in order.
struct FetchLog {
  std::mutex lock;
  std::vector<std::u16string> urls;

  std::vector<std::u16string> Urls() {
    std::lock_guard<std::mutex> hold(lock);
    return urls;
  }
};

class RecordingFeedSource final : public FeedSource {
 public:
  explicit RecordingFeedSource(std::shared_ptr<FetchLog> log) : log_(std::move(log)) {}
  FeedDownloader Downloader() override {
    return [log = log_](const std::u16string& url, FeedSignals&) {
      std::lock_guard<std::mutex> hold(log->lock);
      log->urls.push_back(url);
      return FeedBody{};
    };
  }
  FeedOutcome Parse(const std::u16string& url, FeedBody, const std::atomic<bool>&, std::vector<FeedItem>&) override {
    return OkOutcome(url, 0);
  }

 private:
  std::shared_ptr<FetchLog> log_;
};

class ProbedGadget final : public GadgetControl {
 public:
  explicit ProbedGadget(IUnknown* outer) : GadgetControl(outer) {
    GadgetControlTestProbe::ReplaceFetcher(
        *this, [log = fetches] { return std::make_unique<RecordingFeedSource>(log); });
  }

  // Creates one; `control` holds the reference.
  static ProbedGadget* Create(ComPtr<IUnknown>& control) {
    control.Reset();
    return MakeGadget<ProbedGadget>(control);
  }

  TypingMachine& Machine() { return GadgetControlTestProbe::Machine(*this); }
  FeedFetcher& Fetcher() { return GadgetControlTestProbe::Fetcher(*this); }
  HWND MessageWindow() { return GadgetControlTestProbe::MessageWindow(*this); }

  // Puts `item` on screen as the next screen.
  void ShowItem(FeedItem item) {
    nextItem = std::move(item);
    Machine().RequestNewScreen();
    Machine().NextScreen();
  }

  // The periods the typing timer was last set to, in order (id 0 only).
  std::vector<UINT> TypingPeriods() const {
    std::vector<UINT> periods;
    for (const auto& [id, period] : timers)
      if (id == TIMER_TYPING) periods.push_back(period);
    return periods;
  }

  std::shared_ptr<FetchLog> fetches = std::make_shared<FetchLog>();
  std::vector<std::pair<UINT_PTR, UINT>> timers;
  std::vector<std::u16string> opened;
  FeedItem nextItem = PlaceholderItem();

 protected:
  void SetWindowTimer(UINT_PTR id, UINT periodMs) override { timers.emplace_back(id, periodMs); }
  void OpenLink(const std::u16string& link) override { opened.push_back(link); }

 private:
  FeedItem NextItem() override { return nextItem; }
};

// Handles the thread's pending messages (MSG_START and the like).
inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace test
}  // namespace quorvane
