#pragma once
// A class factory for a ComObject class T whose constructor is T(IUnknown*
// outer). Supports aggregation; LockServer holds the module.
#include "win/com/ComObject.h"

namespace quorvane {

template <class T>
class ClassFactory final : public ComObject, public IClassFactory {
 public:
  explicit ClassFactory(IUnknown* outer) : ComObject(outer) {}
  QUORVANE_COM_IUNKNOWN

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    return CreateComObject<T>(outer, iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? module::Lock() : module::Unlock();
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IClassFactory, static_cast<IClassFactory*>(this)}});
  }
};

template <class T>
HRESULT GetClassFactory(REFIID iid, void** out) {
  return CreateComObject<ClassFactory<T>>(nullptr, iid, out);
}

}  // namespace quorvane
