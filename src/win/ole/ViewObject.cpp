// IViewObjectEx: drawing for the container and the view's advise sink.
#include "win/ole/OleControl.h"

#include "win/Dpi.h"

namespace quorvane {

HRESULT OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                         BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc) return E_INVALIDARG;
  RECT area;
  if (bounds) {
    area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  } else if (Windowless()) {
    area = positionRect_;  // a windowless container may leave the bounds out
  } else {
    return E_INVALIDARG;
  }
  OnDraw(dc, area, DrawingDpi(dc));
  return S_OK;
}

// A window's DC reports the system's dpi wherever the window is, so in
// place the window's own dpi counts (the container's window when
// windowless); memory bitmaps, printers and metafiles say their own.
int OleControl::DrawingDpi(HDC dc) const {
  if (inPlaceActive_ && GetObjectType(dc) == OBJ_DC) {
    HWND window = Window();
    if (!window && inPlaceSite_) inPlaceSite_->GetWindow(&window);
    if (window) return WindowDpi(window);
  }
  return DeviceDpi(dc);
}

HRESULT OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;
  viewAspects_ = aspects;
  viewAdviseFlags_ = flags;
  return S_OK;
}

HRESULT OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) {
    *sink = viewSink_.Get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// The drawing covers the whole area with solid colours.
HRESULT OleControl::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

HRESULT OleControl::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !hit) return E_POINTER;
  *hit = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT OleControl::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !rect || !hit) return E_POINTER;
  RECT overlap;
  *hit = IntersectRect(&overlap, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

}  // namespace quorvane
