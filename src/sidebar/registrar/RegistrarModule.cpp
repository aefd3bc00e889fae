// QuorvaneSidebarRegistrar.dll: serves the sidebar's component registration
// object and registers its class. Installing the sidebar registers it;
// building and testing never do.
#include <windows.h>

#include <string>

#include "win/com/ClassFactory.h"
#include "win/com/Module.h"
#include "win/base/UniqueAny.h"
#include "sidebar/registrar/ComponentRegistrar.h"

using namespace quorvane;

namespace {

constexpr const wchar_t* kClassKey = L"CLSID\\{AC129136-EB1C-4FFF-B0A2-6D6761BE4138}";

HRESULT SetString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  RegistryKey key;
  LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr);
  if (status == ERROR_SUCCESS)
    status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module::SetInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_HostComponentRegistrar)) return CLASS_E_CLASSNOTAVAILABLE;
  return GetClassFactory<sidebar::ComponentRegistrar>(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return module::LockCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module::Instance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
  HRESULT hr = SetString(HKEY_CLASSES_ROOT, kClassKey, nullptr, L"QuorvaneSidebar Component Registrar");
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  if (SUCCEEDED(hr)) hr = SetString(HKEY_CLASSES_ROOT, server, nullptr, path);
  if (SUCCEEDED(hr)) hr = SetString(HKEY_CLASSES_ROOT, server, L"ThreadingModel", L"Both");
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
  return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}
