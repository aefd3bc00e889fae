// IDataObject: the control offers no data formats, only advise connections.
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie) {
  if (!dataAdviseHolder_) {
    const HRESULT hr = CreateDataAdviseHolder(&dataAdviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return dataAdviseHolder_->Advise(this, format, flags, sink, cookie);
}

HRESULT OleControl::DUnadvise(DWORD cookie) {
  return dataAdviseHolder_ ? dataAdviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT OleControl::EnumDAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return dataAdviseHolder_ ? dataAdviseHolder_->EnumAdvise(out) : E_FAIL;
}

}  // namespace quorvane
