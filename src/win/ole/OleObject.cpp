// IOleObject: site, verbs, extent, advise connections.
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::SetClientSite(IOleClientSite* site) {
  clientSite_ = site;
  return OnClientSiteSet();
}

HRESULT OleControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = clientSite_.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT OleControl::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

HRESULT OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return UIActivate();
    case OLEIVERB_INPLACEACTIVATE:
      return InPlaceActivate();
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (Window()) ShowWindow(Window(), SW_HIDE);
      return S_OK;
    case OLEIVERB_PROPERTIES:
      return ShowPropertyPages(parent);
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE:
      return E_NOTIMPL;
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

// The standard property frame over the pages the control names.
HRESULT OleControl::ShowPropertyPages(HWND parent) {
  ComPtr<ISpecifyPropertyPages> specify;
  if (FAILED(ControllingUnknown()->QueryInterface(IID_PPV_ARGS(&specify)))) return E_NOTIMPL;
  CAUUID pages{};
  HRESULT hr = specify->GetPages(&pages);
  if (FAILED(hr)) return hr;
  const UniqueCoTaskMem<GUID> pageIds(pages.pElems);
  IUnknown* self = ControllingUnknown();
  return OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, &self, pages.cElems, pages.pElems, GetUserDefaultLCID(), 0,
                                nullptr);
}

HRESULT OleControl::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT OleControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  const bool changed = size->cx != extent_.cx || size->cy != extent_.cy;
  extent_ = *size;
  if (changed) RequestRedraw();
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT OleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_) {
    const HRESULT hr = CreateOleAdviseHolder(&adviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, cookie);
}

HRESULT OleControl::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT OleControl::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT OleControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = miscStatus_;
  return S_OK;
}

}  // namespace quorvane
