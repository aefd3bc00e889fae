// Registration is not built yet: both exports report E_NOTIMPL.
#include "host/Registration.h"

namespace quorvane {

HRESULT RegisterServer() { return E_NOTIMPL; }
HRESULT UnregisterServer() { return E_NOTIMPL; }

}  // namespace quorvane
