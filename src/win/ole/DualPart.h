#pragma once
// A dual interface that an object carries as a part of its own, beside the
// dual interface whose IDispatch is the object's: its IUnknown is the
// object's controlling unknown, its IDispatch comes from the interface's
// own type description. A part derives from DualPart<Interface> and adds
// the interface's members.
#include <windows.h>

#include "win/com/ComObject.h"
#include "win/ole/TypeInfoDispatch.h"

namespace quorvane {

template <class Interface>
class DualPart : public Interface {
 public:
  DualPart(const ComObject& owner, const IID& iid) : owner_(owner), dispatch_(iid) {}
  DualPart(const DualPart&) = delete;
  DualPart& operator=(const DualPart&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return owner_.ControllingUnknown()->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.ControllingUnknown()->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.ControllingUnknown()->Release(); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatch_.GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return dispatch_.GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return dispatch_.GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override {
    return dispatch_.Invoke(static_cast<Interface*>(this), id, iid, locale, flags, params, result, exception,
                            argumentError);
  }

 private:
  const ComObject& owner_;
  TypeInfoDispatch dispatch_;
};

}  // namespace quorvane
