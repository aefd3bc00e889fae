#pragma once
// The sidebar's component registration object: what a plug-in's
// DllRegisterServer creates to register itself with the sidebar. It records
// components in the PluginStore and hands out the display plug-in
// registration object by name.
#include "win/HostInterfaces.h"
#include "win/com/ComObject.h"

namespace quorvane::sidebar {

// The name under which GetRegistrationObject gives the display plug-in
// registration object.
inline constexpr const wchar_t* kDisplayPluginRegistrationName = L"GoogleDesktop.DisplayPluginRegistration";

class ComponentRegistrar final : public ComObject, public IHostComponentRegistrar {
 public:
  explicit ComponentRegistrar(IUnknown* outer) : ComObject(outer) {}
  QUORVANE_COM_IUNKNOWN

  QUORVANE_HOST_SLOT_NOTIMPL(3) QUORVANE_HOST_SLOT_NOTIMPL(4) QUORVANE_HOST_SLOT_NOTIMPL(5) QUORVANE_HOST_SLOT_NOTIMPL(6)
  HRESULT STDMETHODCALLTYPE RegisterComponent(BSTR classId, VARIANT registration) override;
  HRESULT STDMETHODCALLTYPE GetRegistrationObject(BSTR name, IUnknown** result) override;
  HRESULT STDMETHODCALLTYPE Finish() override;
  HRESULT STDMETHODCALLTYPE UnregisterComponent(BSTR classId) override;

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IHostComponentRegistrar, static_cast<IHostComponentRegistrar*>(this)}});
  }
};

}  // namespace quorvane::sidebar
