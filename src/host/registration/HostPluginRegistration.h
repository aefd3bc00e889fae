#pragma once
// Registration of the gadget with the sidebar host as a display plug-in,
// through the host's component registration object. COM must be
// initialised on the calling thread.
#include <windows.h>

namespace quorvane {

// Registers `control` with the host: its registration record, then the
// display plug-in registration, then finish. A failure after the record
// was accepted takes the component out again. Returns the first failure,
// else the status of the last call.
HRESULT RegisterHostPlugin(REFCLSID control);

// Asks the host to forget `control`. Every failure is ignored: the host may
// not be installed at all.
void UnregisterHostPlugin(REFCLSID control);

}  // namespace quorvane
