#pragma once
// Keeps the calling thread in a COM or OLE apartment for the object's
// lifetime. It leaves only when joining succeeded (S_FALSE, "already in
// one", counts as joining: each success needs its own leave).
#include "win/base/UniqueAny.h"

namespace quorvane {

class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : result_(CoInitializeEx(nullptr, model)), joined_(SUCCEEDED(result_)) {}
  HRESULT Result() const { return result_; }
  explicit operator bool() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
  UniqueAny<CoUninitializeTraits> joined_;
};

// OLE on top of a single-threaded apartment: needed for in-place
// activation, drag and drop and the property frame.
class OleApartment {
 public:
  OleApartment() : result_(OleInitialize(nullptr)), joined_(SUCCEEDED(result_)) {}
  HRESULT Result() const { return result_; }
  explicit operator bool() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
  UniqueAny<OleUninitializeTraits> joined_;
};

}  // namespace quorvane
