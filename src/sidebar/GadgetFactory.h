#pragma once
// Creates gadgets: from the registered class when the class is registered,
// otherwise (QuorvaneRSS only) from QuorvaneRSS.dll beside the sidebar.
// A DLL loaded that way also serves its settings page's class to this
// process, so the standard property frame can create the page.
#include <windows.h>

#include <string>
#include <vector>

#include "win/com/ComPtr.h"

namespace quorvane::sidebar {

// {D92EDB2C-3B62-49ED-9568-9706F095C8C0}
inline constexpr CLSID kGadgetClassId = {
    0xD92EDB2C, 0x3B62, 0x49ED, {0x95, 0x68, 0x97, 0x06, 0xF0, 0x95, 0xC8, 0xC0}};
// {4996C509-E292-48A6-BA58-A3D23926020D}
inline constexpr CLSID kSettingsPageClassId = {
    0x4996C509, 0xE292, 0x48A6, {0xBA, 0x58, 0xA3, 0xD2, 0x39, 0x26, 0x02, 0x0D}};

class GadgetFactory {
 public:
  // `gadgetDll`: the module to fall back on; empty for the one beside the
  // executable.
  explicit GadgetFactory(std::wstring gadgetDll = {});
  ~GadgetFactory();
  GadgetFactory(const GadgetFactory&) = delete;
  GadgetFactory& operator=(const GadgetFactory&) = delete;

  HRESULT Create(REFCLSID clsid, IUnknown** control);
  // True when the last Create used the DLL rather than the registration.
  bool UsedDll() const { return dll_ != nullptr; }
  // The module the fallback loads.
  const std::wstring& DllPath() const { return dllPath_; }

  static bool IsRegistered(REFCLSID clsid);
  static std::wstring BesideExecutable(const wchar_t* fileName);

 private:
  HRESULT LoadDll();

  std::wstring dllPath_;
  HMODULE dll_ = nullptr;
  ComPtr<IClassFactory> gadgetClass_;
  std::vector<DWORD> cookies_;
};

}  // namespace quorvane::sidebar
