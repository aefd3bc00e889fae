#pragma once
// The built QuorvaneRSS.dll, loaded for a test the way COM loads it. Its
// path comes from QUORVANE_DLL (a Windows path) if set, else from the build
// tree (QUORVANE_DLL_PATH, compiled in).
#include <windows.h>

#include <string>

namespace quorvane::test {

class GadgetDll {
 public:
  GadgetDll();
  ~GadgetDll() { Unload(); }
  GadgetDll(const GadgetDll&) = delete;
  GadgetDll& operator=(const GadgetDll&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT CanUnloadNow() const;
  HRESULT Register() const;
  HRESULT Unregister() const;
  // FreeLibrary; then whether the module really left the process.
  bool Unload();

  static std::wstring Path();

 private:
  FARPROC Export(const char* name) const { return module_ ? GetProcAddress(module_, name) : nullptr; }

  HMODULE module_ = nullptr;
  std::wstring path_;
};

}  // namespace quorvane::test
