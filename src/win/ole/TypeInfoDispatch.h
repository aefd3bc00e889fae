#pragma once
// IDispatch for a dual interface, served from the module's type library:
// names and DISPIDs, argument conversion and the call through the vtable
// all come from the interface's type description, so scripting clients see
// exactly what the type library declares.
//
// A class with a dual interface keeps one as a member and forwards its
// four IDispatch methods to it.
#include <windows.h>
#include <oaidl.h>

#include "win/com/ComPtr.h"

namespace quorvane {

class TypeInfoDispatch {
 public:
  explicit TypeInfoDispatch(const IID& iid) : iid_(iid) {}

  HRESULT GetTypeInfoCount(UINT* count);
  HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info);
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids);
  // `object` is the interface pointer the call goes to.
  HRESULT Invoke(void* object, DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError);

 private:
  // The interface's type description, loaded on first use and kept.
  HRESULT TypeInfo(ITypeInfo** info);

  const IID& iid_;
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace quorvane
