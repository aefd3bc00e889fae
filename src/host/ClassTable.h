#pragma once
// The classes the module serves through DllGetClassObject.
#include <windows.h>

#include <span>

namespace quorvane {

struct ClassEntry {
  const CLSID& clsid;
  HRESULT (*getClassFactory)(REFIID iid, void** out);
};

std::span<const ClassEntry> ModuleClasses();

// The class factory of `clsid` as `iid`, or CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace quorvane
