#include "sidebar/SidebarWindow.h"

#include <ocidl.h>
#include <olectl.h>
#include <windowsx.h>

#include <algorithm>

#include "win/Dpi.h"
#include "win/base/UniqueAny.h"
#include "sidebar/GadgetState.h"

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSidebarPanel";
constexpr UINT_PTR kTickTimer = 1;
// Sizes at 96 dpi; the panel scales them to the dpi of its monitor.
constexpr int kMargin = 4;
constexpr int kPanelClientWidth = 240;
constexpr SIZE kMinClientSize{96, 60};
constexpr SIZE kFallbackSize{4, 3};  // aspect for a gadget that names no size

// A gadget's height at `width`: its default size's aspect, and at least its
// default height (pixels at 96 dpi, scaled to `dpi`).
int ScaledHeight(SIZE size, int width, int dpi) {
  if (size.cx <= 0 || size.cy <= 0) size = kFallbackSize;
  return std::max<int>(ScaleToDpi(size.cy, dpi), MulDiv(width, size.cy, size.cx));
}

}  // namespace

SidebarWindow::SidebarWindow(GadgetFactory& factory) : factory_(factory) {}

SidebarWindow::~SidebarWindow() {
  LetGoOfAccessible();
  DetachAll();
  if (window_) DestroyWindow(window_);
}

bool SidebarWindow::Create() {
  WindowOptions options;
  options.title = L"QuorvaneSidebar";
  options.look = WindowClassStyle{CS_DBLCLKS, nullptr, LoadIconW(nullptr, IDI_APPLICATION)};
  // Where the system puts new windows; FitAndShow moves it to the edge.
  const RECT place{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + kPanelClientWidth + 16, CW_USEDEFAULT + 200};
  if (!frame_.Create(kClassName,
                     WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                     nullptr, place,
                     [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                       return Dispatch(window, message, wParam, lParam);
                     },
                     options))
    return false;
  dpi_ = WindowDpi(window_);
  HideFocusCues();
  return true;
}

void SidebarWindow::KeepTicking() {
  const bool wanted = window_ && feedStatus_.Window();
  if (wanted == ticking_) return;
  ticking_ = wanted;
  if (wanted) {
    SetTimer(window_, kTickTimer, kTickMs, nullptr);
  } else if (window_) {
    KillTimer(window_, kTickTimer);
  }
}

HRESULT SidebarWindow::AddGadget(REFCLSID clsid, const std::wstring& statePath) {
  if (!window_) return E_UNEXPECTED;
  ComPtr<IUnknown> control;
  HRESULT hr = factory_.Create(clsid, &control);
  if (FAILED(hr)) return hr;
  slots_.push_back(Slot{clsid, statePath, GadgetSite::Make(this), ReadFeedTitlesFile(statePath)});
  Layout();
  ComPtr<IStream> state = ReadStateFile(statePath);
  hr = slots_.back().site->Attach(control.Get(), state.Get(), slots_.back().site->Rect());
  if (FAILED(hr)) {
    slots_.back().site->Detach();
    slots_.pop_back();
    Layout();
    return hr;
  }
  Layout();
  return S_OK;
}

void SidebarWindow::RemoveGadget(size_t index) {
  if (index >= slots_.size() || inModal_) return;
  ComPtr<GadgetSite> site = slots_[index].site;
  slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(index));
  site->Detach();
  Layout();
}

void SidebarWindow::FitAndShow(int showCommand) {
  const int margin = Scaled(kMargin);
  int height = margin;
  const int width = Scaled(kPanelClientWidth) - 2 * margin;
  for (const Slot& slot : slots_) height += ScaledHeight(slot.site->DefaultSize(), width, dpi_) + margin;
  if (slots_.empty()) height = Scaled(kMinClientSize.cy);
  RECT frame{0, 0, Scaled(kPanelClientWidth), height};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  AdjustWindowRectForDpi(frame, style, 0, dpi_);
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, std::max<LONG>(work.left, work.right - frameWidth - Scaled(8)), work.top + Scaled(8),
               frameWidth,
               frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
}

void SidebarWindow::Layout() {
  if (!window_) return;
  RECT client{};
  GetClientRect(window_, &client);
  const int margin = Scaled(kMargin);
  const int width = std::max<int>(1, client.right - 2 * margin);
  int top = margin;
  for (size_t i = 0; i < slots_.size(); ++i) {
    int height = ScaledHeight(slots_[i].site->DefaultSize(), width, dpi_);
    // The last gadget takes what is left: a taller panel shows more text.
    if (i + 1 == slots_.size()) height = std::max<int>(height, client.bottom - margin - top);
    const RECT rect{margin, top, margin + width, top + height};
    if (!EqualRect(&rect, &slots_[i].site->Rect())) slots_[i].site->SetRect(rect);
    top += height + margin;
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void SidebarWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  // Background around the gadgets only, so they don't flicker; none when
  // a gadget asked for a part of itself, as a typing gadget does all the time.
  const bool withinGadget = std::any_of(slots_.begin(), slots_.end(), [&](const Slot& slot) {
    RECT overlap;
    return IntersectRect(&overlap, &slot.site->Rect(), &paint.rcPaint) && EqualRect(&overlap, &paint.rcPaint);
  });
  if (!withinGadget) {
    const int saved = SaveDC(dc);
    for (const Slot& slot : slots_) {
      const RECT& r = slot.site->Rect();
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    const UniqueBrush background(CreateSolidBrush(RGB(0x3A, 0x3F, 0x4A)));
    FillRect(dc, &paint.rcPaint, background.get());
    RestoreDC(dc, saved);
  }
  for (const Slot& slot : slots_) {
    RECT overlap;
    if (IntersectRect(&overlap, &slot.site->Rect(), &paint.rcPaint)) slot.site->Draw(dc);
  }
  EndPaint(window_, &paint);
}

GadgetSite* SidebarWindow::PointerTarget(POINT point) const {
  for (const Slot& slot : slots_)
    if (slot.site->Windowless() && slot.site->HasCapture()) return slot.site.Get();
  for (const Slot& slot : slots_)
    if (slot.site->Windowless() && PtInRect(&slot.site->Rect(), point)) return slot.site.Get();
  return nullptr;
}

GadgetSite* SidebarWindow::FocusTarget() const {
  for (const Slot& slot : slots_)
    if (slot.site->Windowless() && slot.site->HasFocus()) return slot.site.Get();
  return nullptr;
}

int SidebarWindow::GadgetAt(POINT clientPoint) const {
  for (size_t i = 0; i < slots_.size(); ++i)
    if (PtInRect(&slots_[i].site->Rect(), clientPoint)) return static_cast<int>(i);
  return -1;
}

size_t SidebarWindow::IndexOf(const GadgetSite& site) const {
  for (size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].site.Get() == &site) return i;
  return slots_.size();
}

// Menu

HRESULT SidebarWindow::SaveGadget(size_t gadget) {
  if (gadget >= slots_.size() || !slots_[gadget].site->Control()) return E_INVALIDARG;
  const HRESULT hr = SaveStateFile(slots_[gadget].site->Control(), slots_[gadget].statePath);
  if (FAILED(hr)) {
    wchar_t line[96];
    wsprintfW(line, L"QuorvaneSidebar: saving gadget %u failed (0x%08lX)\n", static_cast<unsigned>(gadget),
              static_cast<unsigned long>(hr));
    OutputDebugStringW(line);
  }
  return hr;
}

void SidebarWindow::Close() {
  if (closed_) return;
  if (inModal_) {
    closePending_ = true;
    return;
  }
  closed_ = true;
  for (size_t i = 0; i < slots_.size(); ++i) SaveGadget(i);
  about_.Close();
  feedStatus_.Close();
  DetachAll();
  if (window_) DestroyWindow(window_);
}

void SidebarWindow::DetachAll() {
  feedStatus_.Close();  // it holds a gadget
  // Last in, first out; each site lets go of its gadget and of us.
  while (!slots_.empty()) {
    ComPtr<GadgetSite> site = slots_.back().site;
    slots_.pop_back();
    site->Detach();
  }
}

// SiteHost

void SidebarWindow::OnSiteChanged(GadgetSite& site) {
  if (IndexOf(site) == 0 || slots_.empty()) {
    if (!site.Title().empty()) SetWindowTextW(window_, site.Title().c_str());
    if (site.Icon() && site.Icon() != icon_) {
      icon_ = site.Icon();
      SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
      SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
  }
  Layout();
}

void SidebarWindow::ShowAbout(GadgetSite&, IPicture* picture, const std::wstring& text) {
  about_.Show(window_, picture, text);
}

void SidebarWindow::SaveSite(GadgetSite& site) { SaveGadget(IndexOf(site)); }

// Messages

LRESULT SidebarWindow::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) window_ = window;
  const LRESULT result = Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) window_ = nullptr;
  return result;
}

LRESULT SidebarWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO:
      OnMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTickTimer) {
        // The status window follows the gadget's cycles.
        if (feedStatus_.Window() && ++statusTicks_ % 10 == 0) feedStatus_.Refresh();
        KeepTicking();
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (OnPointer(message, wParam, lParam, result)) return result;
      break;
    case WM_MOUSEWHEEL:
      if (OnWheel(wParam, lParam, result)) return result;
      break;
    case WM_SETCURSOR:
      if (OnSetCursor(wParam, lParam)) return TRUE;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
      if (OnKey(message, wParam, lParam, result)) return result;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focused gadget has the focus while the panel has it.
      if (GadgetSite* target = FocusTarget()) target->ForwardMessage(message, wParam, lParam, &result);
      return 0;
    case WM_UPDATEUISTATE:  // the focus rectangle shows or hides
      OnUiState(wParam);
      break;
    case WM_GETOBJECT:
      return OnGetObject(wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      PassOnSystemChange(message, wParam, lParam);
      break;
    case WM_CONTEXTMENU:
      OnContextMenu(lParam);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ENDSESSION:
      if (wParam)
        for (size_t i = 0; i < slots_.size(); ++i) SaveGadget(i);
      return 0;
    case WM_DESTROY:
      KillTimer(window_, kTickTimer);
      ticking_ = false;
      LetGoOfAccessible();
      DetachAll();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void SidebarWindow::OnMinMaxInfo(MINMAXINFO& info) const {
  RECT frame{0, 0, Scaled(kMinClientSize.cx), Scaled(kMinClientSize.cy)};
  AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), 0, dpi_);
  info.ptMinTrackSize = POINT{frame.right - frame.left, frame.bottom - frame.top};
}

// Moved to a monitor of another dpi (or the user changed the scale): the
// panel takes the size the system suggests, which keeps its proportions,
// and lays its gadgets out again, so each gets its new size and is drawn
// again at the new dpi.
void SidebarWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi > 0 ? dpi : kDefaultDpi;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
}

int SidebarWindow::Scaled(int pixels) const { return ScaleToDpi(pixels, dpi_); }

// In screen coordinates: to the windowless gadget under the pointer.
bool SidebarWindow::OnWheel(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(window_, &point);
  GadgetSite* target = PointerTarget(point);
  return target && target->ForwardMessage(WM_MOUSEWHEEL, wParam, lParam, &result);
}

bool SidebarWindow::OnPointer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  GadgetSite* target = PointerTarget(point);
  if (!target) return false;
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    // A click gives the gadget the focus, as it would a window.
    FocusGadget(target);
  }
  return target->ForwardMessage(message, wParam, lParam, &result);
}

bool SidebarWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != window_ || LOWORD(lParam) != HTCLIENT) return false;
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(window_, &point);
  LRESULT result = 0;
  if (GadgetSite* target = PointerTarget(point))
    if (target->ForwardMessage(WM_SETCURSOR, wParam, lParam, &result)) return true;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  return true;
}

void SidebarWindow::OnContextMenu(LPARAM lParam) {
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  int gadget = -1;
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: the focused gadget, or the first.
    gadget = slots_.empty() ? -1 : 0;
    for (size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].site->HasFocus()) gadget = static_cast<int>(i);
    if (gadget >= 0) {
      screen = POINT{slots_[gadget].site->Rect().left, slots_[gadget].site->Rect().top};
      ClientToScreen(window_, &screen);
    }
  } else {
    POINT client = screen;
    ScreenToClient(window_, &client);
    gadget = GadgetAt(client);
  }
  if (gadget >= 0) ShowMenu(static_cast<size_t>(gadget), screen);
}

}  // namespace quorvane::sidebar
