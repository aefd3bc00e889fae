#include "gadget/GadgetControl.h"

#include "win/com/Module.h"
#include "gadget/ResourceIds.h"
#include "settings/SettingsBounds.h"

namespace quorvane {
namespace {

HBITMAP LoadBarBitmap() {
  return static_cast<HBITMAP>(
      LoadImageW(module::Instance(), MAKEINTRESOURCEW(IDB_BAR_GRADIENT), IMAGE_BITMAP, 0, 0, 0));
}

constexpr SIZE kInitialSize{80, 50};

}  // namespace

GadgetControl::GadgetControl(IUnknown* outer)
    : OleControl(outer, CLSID_QuorvaneRSSGadget, kInitialSize, kGadgetMiscStatus) {
  // The creation results are not tested: the display works without any of
  // these, only less well.
  handCursor_ = LoadCursorW(nullptr, IDC_HAND);
  BOOL cues = FALSE;
  focusCues_ = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
  bodyFont_.reset(CreateGadgetFont(GadgetGeometry::kBaseDpi, false));
  linkFont_.reset(CreateGadgetFont(GadgetGeometry::kBaseDpi, true));
  barBitmapTop_.reset(LoadBarBitmap());
  barBitmapBottom_.reset(LoadBarBitmap());

  messageWindow_.Create(kMessageWindowClass, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        HWND_MESSAGE, RECT{}, [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
                          return OnMessageWindowMessage(window, msg, wParam, lParam);
                        });

  fetcher_ = std::make_unique<FeedFetcher>(messageWindow_.Handle(), MSG_NEXT_SCREEN);
  fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(settings_.feedRefreshRateMs));
  waits_.Open(messageWindow_.Handle());
  // The store is still empty: the placeholder, with a new screen still due.
  machine_.TakeFirstScreen();
  announcedTitle_ = machine_.CurrentItem().title;
  announcedText_ = machine_.CurrentItem().description;
}

// Runs after OnFinalRelease: the fetcher and the message-only window are gone.
GadgetControl::~GadgetControl() {
  waits_.Shutdown();  // closing, stop event, every wait thread ended
  frame_.Reset();     // it holds the body font selected
  bodyFont_.reset();
  linkFont_.reset();
  barBitmapTop_.reset();
  barBitmapBottom_.reset();
}

// Without a fetcher the control downloads nothing: every path that would
// start a worker (OnStart, put_FeedURLs) needs one, and only the
// constructor makes one. The screen keeps what it shows.
HRESULT GadgetControl::Close(DWORD saveOption) {
  const HRESULT hr = OleControl::Close(saveOption);
  fetcher_.reset();
  return hr;
}

void GadgetControl::OnFinalRelease() {
  fetcher_.reset();  // stops its worker
  messageWindow_.Destroy();
}

void* GadgetControl::FindInterface(REFIID iid) {
  void* found = LookUpInterface(
      iid, {
               {IID_IQuorvaneRSSGadget, static_cast<IQuorvaneRSSGadget*>(this)},
               {IID_IQuorvaneRSSFeeds, static_cast<IQuorvaneRSSFeeds*>(&feeds_)},
               {IID_IQuorvaneRSSFeedStatus, static_cast<IQuorvaneRSSFeedStatus*>(&feedStatus_)},
               {__uuidof(IAccessible), static_cast<IAccessible*>(&accessible_)},
               {IID_IDispatch, static_cast<IDispatch*>(this)},
               {IID_IPersist, static_cast<IPersist*>(this)},
               {IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(this)},
               {IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(this)},
               {IID_IContextMenu, static_cast<IContextMenu*>(this)},
               {IID_IPluginCommand, static_cast<IPluginCommand*>(this)},
           });
  return found ? found : OleControl::FindInterface(iid);
}

LRESULT GadgetControl::OnMessageWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case MSG_NEXT_SCREEN:
      // The new screen's bars show at once, as a screen reader hears of it,
      // not at the first character's tick.
      if (machine_.NextScreen()) RequestRedraw();
      NoteScreen();
      return 0;
    case MSG_RESUME_TYPING:
      AwakeFeed();
      return 0;
    case MSG_START:
      OnStart();
      return 0;
    case WM_TIMER:
      if (wParam == TIMER_TYPING) {
        OnTypingTick();
        NoteScreen();  // the end of a text may have brought the next one
      } else if (wParam == TIMER_CURSOR) {
        machine_.CursorBlink();  // shows at the next redraw
      }
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void GadgetControl::OnStart() {
  RestartTypingTimer();
  SetWindowTimer(TIMER_CURSOR, kCursorBlinkMs);
  if (fetcher_) fetcher_->SetFeedList(settings_.feedUrls);
}

void GadgetControl::RestartTypingTimer() {
  int speed = 0;
  get_SpeechSpeed(&speed);
  KillTimer(messageWindow_.Handle(), TIMER_TYPING);
  SetWindowTimer(TIMER_TYPING, TypingPeriodMs(speed));
}

void GadgetControl::SetWindowTimer(UINT_PTR id, UINT periodMs) {
  SetTimer(messageWindow_.Handle(), id, periodMs, nullptr);
}

// Messages of the control's own window, or forwarded by a windowless host.
bool GadgetControl::OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
      // A click focuses the control's own window; a windowless control's host focuses it.
      if (Window()) SetFocus(Window());
      result = OnLButtonDown(wParam, lParam);
      return true;
    case WM_LBUTTONUP:
    case WM_ERASEBKGND:  // the drawing covers the whole area
      return true;
    case WM_SETCURSOR:
      return OnSetCursor(wParam, lParam);
    case WM_SYSCOLORCHANGE:  // a high-contrast theme on or off, or its colours
    case WM_SETTINGCHANGE:
      RequestRedraw();
      return false;
    case WM_MOUSEWHEEL:
      // Down (towards the user) is the next headline, up the previous one.
      for (wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam); wheelRest_ <= -WHEEL_DELTA; wheelRest_ += WHEEL_DELTA)
        StepHeadline(true);
      for (; wheelRest_ >= WHEEL_DELTA; wheelRest_ -= WHEEL_DELTA) StepHeadline(false);
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return OnKey(msg, wParam);
    case WM_GETDLGCODE:  // in a dialog, the arrows and characters are the gadget's
      result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = msg == WM_SETFOCUS;
      RequestRedraw();
      return false;  // the usual handling tells the site
    case WM_UPDATEUISTATE:
      OnUiState(wParam);
      return false;
    case WM_GETOBJECT:
      return OnGetObject(wParam, lParam, result);
    case WM_SIZING: {
      auto* proposed = reinterpret_cast<RECT*>(lParam);
      if (proposed && proposed->bottom - proposed->top > 18) proposed->bottom = proposed->top + 18;
      return true;
    }
  }
  return false;
}

std::u16string GadgetControl::PausedText() const {
  wchar_t text[64] = {};
  const int length = LoadStringW(module::Instance(), IDS_PAUSED, text, 64);
  return std::u16string(reinterpret_cast<const char16_t*>(text), length > 0 ? length : 0);
}

}  // namespace quorvane
