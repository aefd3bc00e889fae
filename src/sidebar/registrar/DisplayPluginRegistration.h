#pragma once
// The display plug-in registration object: marks a component registered
// with the ComponentRegistrar as a plug-in the sidebar shows.
#include "win/HostInterfaces.h"
#include "win/com/ComObject.h"

namespace quorvane::sidebar {

// Callers get this object's pointer from GetRegistrationObject and call it
// by slot; the sidebar's own IID only serves to hand out that pointer.
// {6AC186CA-453C-4754-85C7-9461A7055E6E}
inline constexpr IID IID_IDisplayPluginRegistration = {
    0x6AC186CA, 0x453C, 0x4754, {0x85, 0xC7, 0x94, 0x61, 0xA7, 0x05, 0x5E, 0x6E}};

class DisplayPluginRegistration final : public ComObject, public IHostPluginRegistrar {
 public:
  explicit DisplayPluginRegistration(IUnknown* outer) : ComObject(outer) {}
  QUORVANE_COM_IUNKNOWN

  QUORVANE_HOST_SLOT_NOTIMPL(3) QUORVANE_HOST_SLOT_NOTIMPL(4) QUORVANE_HOST_SLOT_NOTIMPL(5) QUORVANE_HOST_SLOT_NOTIMPL(6)
  HRESULT STDMETHODCALLTYPE RegisterPlugin(BSTR classId, VARIANT_BOOL option) override;

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IDisplayPluginRegistration, static_cast<IHostPluginRegistrar*>(this)}});
  }
};

}  // namespace quorvane::sidebar
