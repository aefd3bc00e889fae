#pragma once
// Test access to the gadget control's insides, and ways to make one.
#include <windows.h>

#include <utility>
#include <vector>

#include "gadget/GadgetControl.h"
#include "win/com/ComPtr.h"

namespace quorvane {

struct GadgetControlTestProbe {
  static TypingMachine& Machine(GadgetControl& control) { return control.machine_; }
  static GadgetSettingsRecord& Settings(GadgetControl& control) { return control.settings_; }
  static HWND MessageWindow(GadgetControl& control) { return control.messageWindow_.Handle(); }
  static WaitThreads& Waits(GadgetControl& control) { return control.waits_; }
  static bool HasFetcher(GadgetControl& control) { return control.fetcher_ != nullptr; }
  static FeedFetcher& Fetcher(GadgetControl& control) { return *control.fetcher_; }
  // A fetcher whose workers run `makeSource`'s step instead of downloading.
  static void ReplaceFetcher(GadgetControl& control, FeedSourceFactory makeSource) {
    control.fetcher_ = std::make_unique<FeedFetcher>(control.messageWindow_.Handle(), MSG_NEXT_SCREEN, std::move(makeSource));
    control.fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(control.settings_.feedRefreshRateMs));
  }
  static HFONT BodyFont(GadgetControl& control) { return control.bodyFont_.get(); }
  static HFONT LinkFont(GadgetControl& control) { return control.linkFont_.get(); }
  static HBITMAP BarBitmapTop(GadgetControl& control) { return control.barBitmapTop_.get(); }
  static HBITMAP BarBitmapBottom(GadgetControl& control) { return control.barBitmapBottom_.get(); }
};

namespace test {

// A gadget that records the timers it sets (id, period) and still sets them.
class TimerRecordingGadget : public GadgetControl {
 public:
  using GadgetControl::GadgetControl;
  std::vector<std::pair<UINT_PTR, UINT>> timers;

 protected:
  void SetWindowTimer(UINT_PTR id, UINT periodMs) override {
    timers.emplace_back(id, periodMs);
    GadgetControl::SetWindowTimer(id, periodMs);
  }
};

// Creates a gadget of class T statically linked into the test; `object`
// points into it for as long as `control` holds it.
template <class T = TimerRecordingGadget>
T* MakeGadget(ComPtr<IUnknown>& control) {
  if (FAILED(CreateComObject<T>(nullptr, IID_PPV_ARGS(&control)))) return nullptr;
  ComPtr<IQuorvaneRSSGadget> gadget;
  control.As(&gadget);
  return static_cast<T*>(static_cast<GadgetControl*>(gadget.Get()));
}

// A feed list whose only feed fails at once (a closed port on this machine).
inline constexpr wchar_t kClosedFeed[] = L"http://127.0.0.1:9/feed URL ";

}  // namespace test
}  // namespace quorvane
