#pragma once
// The one implementation of reference counting, QueryInterface and COM
// aggregation that every class of the module uses.
//
//   class Thing : public ComObject, public IFoo, public IBar {
//    public:
//     explicit Thing(IUnknown* outer) : ComObject(outer) {}
//     QUORVANE_COM_IUNKNOWN
//    protected:
//     void* FindInterface(REFIID iid) override {
//       return LookUpInterface(iid, {{IID_IFoo, static_cast<IFoo*>(this)},
//                                    {IID_IBar, static_cast<IBar*>(this)}});
//     }
//   };
//   HRESULT hr = CreateComObject<Thing>(outer, iid, out);
//
// The interfaces' IUnknown methods delegate to the controlling unknown (the
// outer object when aggregated, else the object's own inner unknown). Every
// live object holds one module lock.
#include <windows.h>
#include <unknwn.h>

#include <initializer_list>
#include <new>
#include <utility>

#include "win/com/Module.h"

namespace quorvane {

struct InterfaceEntry {
  const IID& iid;
  void* pointer;
};

class ComObject {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The non-delegating unknown: what an aggregating outer object holds.
  IUnknown* InnerUnknown() { return &inner_; }
  // The controlling unknown: where the interfaces' IUnknown methods go.
  IUnknown* ControllingUnknown() const { return outer_; }

 protected:
  explicit ComObject(IUnknown* outer) : inner_(this), outer_(outer ? outer : &inner_) { module::Lock(); }
  virtual ~ComObject() { module::Unlock(); }

  // The object's interfaces other than IUnknown: a pointer for `iid`, or null.
  virtual void* FindInterface(REFIID iid) = 0;
  // Runs once when the last reference goes, before the destructor, with the
  // object still whole (virtual calls work).
  virtual void FinalRelease() {}

  static void* LookUpInterface(REFIID iid, std::initializer_list<InterfaceEntry> table) {
    for (const auto& entry : table)
      if (IsEqualIID(iid, entry.iid)) return entry.pointer;
    return nullptr;
  }

 private:
  class Inner final : public IUnknown {
   public:
    explicit Inner(ComObject* owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (!out) return E_POINTER;
      void* found = IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : owner_->FindInterface(iid);
      *out = found;
      if (!found) return E_NOINTERFACE;
      static_cast<IUnknown*>(found)->AddRef();
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
      const LONG left = InterlockedDecrement(&refs_);
      if (left == 0) {
        refs_ = 1;  // guards against re-entrant destruction during FinalRelease
        owner_->FinalRelease();
        delete owner_;
      }
      return left;
    }

   private:
    ComObject* owner_;
    LONG refs_ = 0;
  };

  Inner inner_;
  IUnknown* outer_;
};

// Implements the three IUnknown methods of every interface of a class by
// delegating to its controlling unknown.
#define QUORVANE_COM_IUNKNOWN                                                     \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {     \
    return ControllingUnknown()->QueryInterface(iid, out);                        \
  }                                                                               \
  ULONG STDMETHODCALLTYPE AddRef() override { return ControllingUnknown()->AddRef(); } \
  ULONG STDMETHODCALLTYPE Release() override { return ControllingUnknown()->Release(); }

// Creates an object of class T (constructor T(IUnknown* outer, args...)) and
// hands out `iid` of it. An aggregated object may only be asked for
// IUnknown. Out of memory gives E_OUTOFMEMORY.
template <class T, class... Args>
HRESULT CreateComObject(IUnknown* outer, REFIID iid, void** out, Args&&... args) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  T* object = nullptr;
  try {
    object = new T(outer, std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  // Hold a reference while asking, so a failed QueryInterface frees it.
  IUnknown* inner = object->InnerUnknown();
  inner->AddRef();
  const HRESULT hr = inner->QueryInterface(iid, out);
  inner->Release();
  return hr;
}

}  // namespace quorvane
