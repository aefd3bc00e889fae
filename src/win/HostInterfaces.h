#pragma once
// Interfaces of the sidebar host that the gadget calls or implements. Only
// the methods the gadget uses are meaningful; the others are placeholders
// that keep the vtable slots in place (methods are numbered from
// QueryInterface as 0). Each placeholder returns E_NOTIMPL in our own
// implementations.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

namespace quorvane {

#define QUORVANE_HOST_SLOT(n) virtual HRESULT STDMETHODCALLTYPE Reserved##n() = 0

// The plug-in site, asked of the client site in SetClientSite.
// {E7C0BEB7-446B-43BF-83E3-5EC37A9DBCC8}
inline constexpr IID IID_IPluginSite = {0xE7C0BEB7, 0x446B, 0x43BF, {0x83, 0xE3, 0x5E, 0xC3, 0x7A, 0x9D, 0xBC, 0xC8}};
struct IPluginSite : IUnknown {
  QUORVANE_HOST_SLOT(3); QUORVANE_HOST_SLOT(4); QUORVANE_HOST_SLOT(5); QUORVANE_HOST_SLOT(6);
  QUORVANE_HOST_SLOT(7); QUORVANE_HOST_SLOT(8); QUORVANE_HOST_SLOT(9); QUORVANE_HOST_SLOT(10);
  QUORVANE_HOST_SLOT(11); QUORVANE_HOST_SLOT(12);
  virtual HRESULT STDMETHODCALLTYPE SetTitle(BSTR title) = 0;       // 13
  virtual HRESULT STDMETHODCALLTYPE SetIcon(IPicture* icon) = 0;    // 14
  QUORVANE_HOST_SLOT(15); QUORVANE_HOST_SLOT(16); QUORVANE_HOST_SLOT(17); QUORVANE_HOST_SLOT(18);
  QUORVANE_HOST_SLOT(19); QUORVANE_HOST_SLOT(20); QUORVANE_HOST_SLOT(21); QUORVANE_HOST_SLOT(22);
  virtual HRESULT STDMETHODCALLTYPE SetDefaultSize(INT width, INT height) = 0;  // 23
};

// The about box, asked of the client site for plug-in command 1.
// {C5006908-0C7A-49E2-85DA-C2675E554F91}
inline constexpr IID IID_IPluginAboutBox = {0xC5006908, 0x0C7A, 0x49E2, {0x85, 0xDA, 0xC2, 0x67, 0x5E, 0x55, 0x4F, 0x91}};
struct IPluginAboutBox : IUnknown {
  QUORVANE_HOST_SLOT(3); QUORVANE_HOST_SLOT(4); QUORVANE_HOST_SLOT(5); QUORVANE_HOST_SLOT(6);
  QUORVANE_HOST_SLOT(7); QUORVANE_HOST_SLOT(8); QUORVANE_HOST_SLOT(9); QUORVANE_HOST_SLOT(10);
  QUORVANE_HOST_SLOT(11); QUORVANE_HOST_SLOT(12); QUORVANE_HOST_SLOT(13); QUORVANE_HOST_SLOT(14);
  QUORVANE_HOST_SLOT(15); QUORVANE_HOST_SLOT(16); QUORVANE_HOST_SLOT(17); QUORVANE_HOST_SLOT(18);
  QUORVANE_HOST_SLOT(19); QUORVANE_HOST_SLOT(20); QUORVANE_HOST_SLOT(21); QUORVANE_HOST_SLOT(22);
  QUORVANE_HOST_SLOT(23); QUORVANE_HOST_SLOT(24); QUORVANE_HOST_SLOT(25);
  virtual HRESULT STDMETHODCALLTYPE ShowAbout(IPicture* picture, BSTR text) = 0;  // 26
};

// Implemented by the gadget: the host's commands for a display plug-in.
// {AF3B7E72-2886-40F7-AB5A-0AF1CF68243D}
inline constexpr IID IID_IPluginCommand = {0xAF3B7E72, 0x2886, 0x40F7, {0xAB, 0x5A, 0x0A, 0xF1, 0xCF, 0x68, 0x24, 0x3D}};
struct IPluginCommand : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OnCommand(LONG command) = 0;  // 3: command 1 shows the about box
  virtual HRESULT STDMETHODCALLTYPE OnCommandAck(LONG value) = 0; // 4: succeeds, does nothing
  virtual HRESULT STDMETHODCALLTYPE OnCommandQuery(LONG value) = 0; // 5: E_NOTIMPL
};
inline constexpr LONG kPluginCommandAbout = 1;

// The host's component registration object, used at (un)registration.
// CLSID {AC129136-EB1C-4FFF-B0A2-6D6761BE4138}, IID {B7BC8A9B-DC73-42D4-AB7D-17178619C8E4}
inline constexpr CLSID CLSID_HostComponentRegistrar = {0xAC129136, 0xEB1C, 0x4FFF, {0xB0, 0xA2, 0x6D, 0x67, 0x61, 0xBE, 0x41, 0x38}};
inline constexpr IID IID_IHostComponentRegistrar = {0xB7BC8A9B, 0xDC73, 0x42D4, {0xAB, 0x7D, 0x17, 0x17, 0x86, 0x19, 0xC8, 0xE4}};
struct IHostComponentRegistrar : IUnknown {
  QUORVANE_HOST_SLOT(3); QUORVANE_HOST_SLOT(4); QUORVANE_HOST_SLOT(5); QUORVANE_HOST_SLOT(6);
  virtual HRESULT STDMETHODCALLTYPE RegisterComponent(BSTR classId, VARIANT registration) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE GetRegistrationObject(BSTR name, IUnknown** result) = 0;  // 8
  virtual HRESULT STDMETHODCALLTYPE Finish() = 0;                                              // 9
  virtual HRESULT STDMETHODCALLTYPE UnregisterComponent(BSTR classId) = 0;                     // 10
};

// The object that method 8 returns for the display plug-in registration.
// Its method 7 takes the class-id string and a VARIANT_BOOL.
struct IHostPluginRegistrar : IUnknown {
  QUORVANE_HOST_SLOT(3); QUORVANE_HOST_SLOT(4); QUORVANE_HOST_SLOT(5); QUORVANE_HOST_SLOT(6);
  virtual HRESULT STDMETHODCALLTYPE RegisterPlugin(BSTR classId, VARIANT_BOOL flag) = 0;  // 7
};

#undef QUORVANE_HOST_SLOT

// A placeholder slot in an implementation of the interfaces above.
#define QUORVANE_HOST_SLOT_NOTIMPL(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

}  // namespace quorvane
