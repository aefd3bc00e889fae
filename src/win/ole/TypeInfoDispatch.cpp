#include "win/ole/TypeInfoDispatch.h"

#include "win/ole/ModuleTypeLib.h"

namespace quorvane {

HRESULT TypeInfoDispatch::TypeInfo(ITypeInfo** info) {
  if (!typeInfo_) {
    const HRESULT hr = GetModuleTypeInfo(iid_, &typeInfo_);
    if (FAILED(hr)) return hr;
  }
  *info = typeInfo_.Get();
  return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  ITypeInfo* found = nullptr;
  const HRESULT hr = TypeInfo(&found);
  if (FAILED(hr)) return hr;
  found->AddRef();
  *info = found;
  return S_OK;
}

HRESULT TypeInfoDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  const HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  return info->GetIDsOfNames(names, count, ids);
}

HRESULT TypeInfoDispatch::Invoke(void* object, DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  const HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  return info->Invoke(object, id, flags, params, result, exception, argumentError);
}

}  // namespace quorvane
