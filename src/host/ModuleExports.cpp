// The four exports of QuorvaneRSS.dll (named in QuorvaneRSS.def).
#include <windows.h>

#include "host/ClassTable.h"
#include "host/Registration.h"
#include "win/com/Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    quorvane::module::SetInstance(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return quorvane::GetModuleClassObject(clsid, iid, out);
}

// Live objects, server locks and running module threads all hold the lock.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return quorvane::module::LockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return quorvane::RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return quorvane::UnregisterServer(); }
