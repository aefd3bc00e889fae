#include "win/ole/ModuleTypeLib.h"

#include <oleauto.h>

#include "win/com/ComPtr.h"
#include "win/com/Module.h"

namespace quorvane {

HRESULT LoadModuleTypeLib(ITypeLib** library) {
  if (!library) return E_POINTER;
  *library = nullptr;
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameW(module::Instance(), path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return E_FAIL;
  return LoadTypeLibEx(path, REGKIND_NONE, library);
}

HRESULT GetModuleTypeInfo(REFGUID guid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadModuleTypeLib(&library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(guid, info);
}

}  // namespace quorvane
