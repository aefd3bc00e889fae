// IObjectWithSite: a site given by containers that are not OLE containers.
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::SetSite(IUnknown* site) {
  objectSite_ = site;
  return S_OK;
}

HRESULT OleControl::GetSite(REFIID iid, void** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  return objectSite_ ? objectSite_->QueryInterface(iid, site) : E_FAIL;
}

}  // namespace quorvane
