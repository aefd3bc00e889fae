#pragma once
// The module's own type library (resource TYPELIB 1), for class information
// and IDispatch.
#include <windows.h>
#include <oaidl.h>

namespace quorvane {

// Loads the type library from the module's resources (without registering it).
HRESULT LoadModuleTypeLib(ITypeLib** library);

// The type description of `guid` (a class or an interface) in it.
HRESULT GetModuleTypeInfo(REFGUID guid, ITypeInfo** info);

}  // namespace quorvane
