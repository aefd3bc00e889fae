#pragma once
// The module's COM registration and its plug-in registration with the host,
// behind DllRegisterServer and DllUnregisterServer.
#include <windows.h>

namespace quorvane {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace quorvane
