#pragma once
// IDispatch for a dual interface, served from the module's type library:
// names and DISPIDs, argument conversion and the call through the vtable
// all come from the interface's type description, so scripting clients see
// exactly what the type library declares.
//
//   class Thing : ..., public IThing {   // IThing : IDispatch, dual
//     QUORVANE_TYPEINFO_DISPATCH(dispatch_, IThing)
//     TypeInfoDispatch dispatch_{IID_IThing};
//   };
#include <windows.h>
#include <oaidl.h>

#include "host/com/ComPtr.h"

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

// The four IDispatch methods of a class, forwarded to its TypeInfoDispatch
// member; calls go to the class's `Interface`.
#define QUORVANE_TYPEINFO_DISPATCH(member, Interface)                                                        \
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return member.GetTypeInfoCount(count); } \
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {                 \
    return member.GetTypeInfo(index, locale, info);                                                           \
  }                                                                                                           \
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids)  \
      override {                                                                                              \
    return member.GetIDsOfNames(iid, names, count, locale, ids);                                              \
  }                                                                                                           \
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,        \
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {     \
    return member.Invoke(static_cast<Interface*>(this), id, iid, locale, flags, params, result, exception,     \
                         argumentError);                                                                      \
  }

}  // namespace quorvane
