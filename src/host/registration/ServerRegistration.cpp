// DllRegisterServer and DllUnregisterServer: the module's COM registration
// (scripts and type library) and its plug-in registration with the host.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "QuorvaneRSS_h.h"
#include "host/Registration.h"
#include "win/com/Apartment.h"
#include "win/com/ComPtr.h"
#include "win/com/Module.h"
#include "host/registration/HostPluginRegistration.h"
#include "host/registration/RegistryKey.h"
#include "host/registration/RegistrationResources.h"
#include "host/registration/ScriptRegistrar.h"

namespace quorvane {
namespace {

constexpr char16_t kAppId[] = u"{80A7292B-35DF-4A20-B084-583833861CE6}";
// OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT
// | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE
constexpr char16_t kControlMiscStatus[] = u"131473";

std::u16string ModulePath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module::Instance(), reinterpret_cast<wchar_t*>(path.data()),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

RegistryScriptVariables Variables(const std::u16string& modulePath) {
  return {{u"MODULE", modulePath}, {u"APPID", kAppId}};
}

HRESULT RegisterTypeLibrary(std::u16string modulePath) {
  auto* path = reinterpret_cast<wchar_t*>(modulePath.data());  // the API takes a mutable string
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.GetAddressOf());
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(library.Get(), path, nullptr);
}

// Unregistering what is not registered is no failure, but the system's
// type library unregistration reports one.
bool IsTypeLibRegistered(const TLIBATTR& attributes) {
  wchar_t guid[40];
  StringFromGUID2(attributes.guid, guid, ARRAYSIZE(guid));
  wchar_t key[80];
  wsprintfW(key, L"TypeLib\\%s\\%x.%x", guid, attributes.wMajorVerNum, attributes.wMinorVerNum);
  RegistryKey opened;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, opened.out()) == ERROR_SUCCESS;
}

HRESULT UnregisterTypeLibrary(const std::u16string& modulePath) {
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(reinterpret_cast<const wchar_t*>(modulePath.c_str()), REGKIND_NONE,
                             library.GetAddressOf());
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  if (FAILED(hr = library->GetLibAttr(&attributes))) return hr;
  if (IsTypeLibRegistered(*attributes))
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind);
  library->ReleaseTLibAttr(attributes);
  return hr;
}

// The application, the control, the page and the type library, stopping at
// the first failure.
HRESULT RegisterComServer(const std::u16string& modulePath) {
  const HMODULE self = module::Instance();
  RegistryScriptVariables variables = Variables(modulePath);
  HRESULT hr = RunModuleScript(self, IDR_REGSCRIPT_APP, variables, true);
  if (FAILED(hr)) return hr;
  RegistryScriptVariables controlVariables = variables;
  controlVariables.emplace(u"OLEMISC", kControlMiscStatus);
  if (FAILED(hr = RunModuleScript(self, IDR_REGSCRIPT_GADGET, controlVariables, true))) return hr;
  if (FAILED(hr = RunModuleScript(self, IDR_REGSCRIPT_PROPPAGE, variables, true))) return hr;
  return RegisterTypeLibrary(modulePath);
}

// The control, the page, the type library and the application; every step
// runs, the first failure is returned.
HRESULT UnregisterComServer(const std::u16string& modulePath) {
  const HMODULE self = module::Instance();
  RegistryScriptVariables variables = Variables(modulePath);
  variables.emplace(u"OLEMISC", kControlMiscStatus);
  const HRESULT steps[] = {
      RunModuleScript(self, IDR_REGSCRIPT_GADGET, variables, false),
      RunModuleScript(self, IDR_REGSCRIPT_PROPPAGE, variables, false),
      UnregisterTypeLibrary(modulePath),
      RunModuleScript(self, IDR_REGSCRIPT_APP, variables, false),
  };
  for (const HRESULT hr : steps)
    if (FAILED(hr)) return hr;
  return S_OK;
}

}  // namespace

HRESULT RegisterServer() {
  try {
    // regsvr32 initialises COM, other callers may not; the host's
    // registration object needs it.
    const ComApartment com;
    const std::u16string modulePath = ModulePath();
    if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
    const HRESULT hr = RegisterComServer(modulePath);
    // OLE_E_NOCACHE from a COM step still lets the host registration run.
    if (FAILED(hr) && hr != OLE_E_NOCACHE) return hr;
    return RegisterHostPlugin(CLSID_QuorvaneRSSGadget);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer() {
  try {
    const ComApartment com;
    UnregisterHostPlugin(CLSID_QuorvaneRSSGadget);
    const std::u16string modulePath = ModulePath();
    if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
    return UnregisterComServer(modulePath);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace quorvane
