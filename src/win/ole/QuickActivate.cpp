// IQuickActivate: a container's site, view sink and extent in one call.
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
  HRESULT hr = S_OK;
  if (container->pClientSite) hr = SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  const ULONG size = control->cbSize;
  *control = QACONTROL{};
  control->cbSize = size;
  control->dwMiscStatus = miscStatus_;
  GetViewStatus(&control->dwViewStatus);
  return hr;
}

}  // namespace quorvane
