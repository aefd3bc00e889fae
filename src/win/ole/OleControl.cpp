#include "win/ole/OleControl.h"

#include "win/Dpi.h"
#include "win/base/UniqueAny.h"
#include "win/ole/Himetric.h"

namespace quorvane {
namespace {

// A device context a windowless site lent, which goes back to the site.
struct SiteDc {
  IOleInPlaceSiteWindowless* site;
  HDC dc;
};
struct SiteDcTraits {
  using Type = SiteDc;
  static constexpr Type Invalid() { return {nullptr, nullptr}; }
  static bool IsValid(const SiteDc& value) { return value.dc != nullptr; }
  static void Close(const SiteDc& value) { value.site->ReleaseDC(value.dc); }
};

}  // namespace

OleControl::OleControl(IUnknown* outer, const CLSID& clsid, SIZE initialSize, DWORD miscStatus)
    : ComObject(outer), clsid_(clsid), miscStatus_(miscStatus), extent_(PixelsToHimetric(initialSize)) {}

OleControl::~OleControl() = default;

void* OleControl::FindInterface(REFIID iid) {
  return LookUpInterface(
      iid, {
               {IID_IOleObject, static_cast<IOleObject*>(this)},
               {IID_IOleControl, static_cast<IOleControl*>(this)},
               {IID_IOleWindow, static_cast<IOleWindow*>(static_cast<IOleInPlaceObjectWindowless*>(this))},
               {IID_IOleInPlaceObject, static_cast<IOleInPlaceObject*>(this)},
               {IID_IOleInPlaceObjectWindowless, static_cast<IOleInPlaceObjectWindowless*>(this)},
               {IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(this)},
               {IID_IViewObject, static_cast<IViewObject*>(this)},
               {IID_IViewObject2, static_cast<IViewObject2*>(this)},
               {IID_IViewObjectEx, static_cast<IViewObjectEx*>(this)},
               {IID_IQuickActivate, static_cast<IQuickActivate*>(this)},
               {IID_IDataObject, static_cast<IDataObject*>(this)},
               {IID_IProvideClassInfo, static_cast<IProvideClassInfo*>(this)},
               {IID_IProvideClassInfo2, static_cast<IProvideClassInfo2*>(this)},
               {IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(this)},
               {IID_IObjectWithSite, static_cast<IObjectWithSite*>(this)},
           });
}

bool OleControl::OnControlMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void OleControl::FinalRelease() {
  OnFinalRelease();
  // A container should have closed the control; if not, leave its site
  // now, while the object is still whole.
  InPlaceDeactivate();
  viewSink_.Reset();
  adviseHolder_.Reset();
  dataAdviseHolder_.Reset();
  objectSite_.Reset();
  clientSite_.Reset();
}

void OleControl::RequestRedraw() {
  if (inPlaceActive_ && !windowless_ && window_.Handle()) {
    InvalidateRect(window_.Handle(), nullptr, TRUE);
  } else if (inPlaceActive_ && windowless_ && windowlessSite_) {
    windowlessSite_->InvalidateRect(nullptr, TRUE);
  } else if (viewSink_) {
    viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  }
}

void OleControl::RequestRedraw(const RECT& area) {
  if (inPlaceActive_ && !windowless_ && window_.Handle()) {
    InvalidateRect(window_.Handle(), &area, FALSE);
  } else if (inPlaceActive_ && windowless_ && windowlessSite_) {
    RECT placed = area;
    OffsetRect(&placed, positionRect_.left, positionRect_.top);
    windowlessSite_->InvalidateRect(&placed, FALSE);
  } else if (viewSink_) {
    viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  }
}

bool OleControl::PaintNow(const RECT& area, const std::function<void(HDC, const RECT&)>& paint) {
  if (!inPlaceActive_) return false;
  if (windowless_) {
    RECT placed = area;
    OffsetRect(&placed, positionRect_.left, positionRect_.top);
    HDC lent = nullptr;
    if (!windowlessSite_ || windowlessSite_->GetDC(&placed, 0, &lent) != S_OK) return false;
    const UniqueAny<SiteDcTraits> dc(SiteDc{windowlessSite_.Get(), lent});
    if (!dc) return false;
    paint(dc.get().dc, positionRect_);
    return true;
  }
  const HWND window = window_.Handle();
  const UniqueWindowDc dc(WindowDc{window, window ? ::GetDC(window) : nullptr});
  if (!dc) return false;
  IntersectClipRect(dc.get().dc, area.left, area.top, area.right, area.bottom);
  RECT client;
  GetClientRect(window, &client);
  paint(dc.get().dc, client);
  return true;
}

LRESULT OleControl::HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnControlMessage(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      OnDraw(dc, client, WindowDpi(window));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      UIActivate();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (ComPtr<IOleControlSite> site; clientSite_ && SUCCEEDED(clientSite_.As(&site)))
        site->OnFocus(msg == WM_SETFOCUS);
      break;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace quorvane
