#include "GadgetDll.h"

#include <algorithm>

namespace quorvane::test {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using NoArgumentsFn = HRESULT(STDAPICALLTYPE*)();

}  // namespace

std::wstring GadgetDll::Path() {
  wchar_t configured[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"QUORVANE_DLL", configured, MAX_PATH) > 0) return configured;
  // The build tree's Unix path, as Wine's drive Z: shows it.
  const std::string unixPath = QUORVANE_DLL_PATH;
  std::wstring path = L"Z:";
  path.append(unixPath.begin(), unixPath.end());
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

GadgetDll::GadgetDll() : path_(Path()) { module_ = LoadLibraryW(path_.c_str()); }

HRESULT GadgetDll::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  auto function = reinterpret_cast<GetClassObjectFn>(Export("DllGetClassObject"));
  return function ? function(clsid, iid, out) : E_FAIL;
}

HRESULT GadgetDll::CanUnloadNow() const {
  auto function = reinterpret_cast<NoArgumentsFn>(Export("DllCanUnloadNow"));
  return function ? function() : E_FAIL;
}

HRESULT GadgetDll::Register() const {
  auto function = reinterpret_cast<NoArgumentsFn>(Export("DllRegisterServer"));
  return function ? function() : E_FAIL;
}

HRESULT GadgetDll::Unregister() const {
  auto function = reinterpret_cast<NoArgumentsFn>(Export("DllUnregisterServer"));
  return function ? function() : E_FAIL;
}

bool GadgetDll::Unload() {
  if (!module_) return true;
  FreeLibrary(module_);
  module_ = nullptr;
  return GetModuleHandleW(path_.c_str()) == nullptr;
}

}  // namespace quorvane::test
