#pragma once
// What every accessible object of the module shares: an IDispatch without a
// type description (screen readers call IAccessible directly), the members
// none of them offers, and the small conversions they all make. An object
// derives from AccessibleBase and fills in the rest of IAccessible.
//
// The interface's id is spelled __uuidof(IAccessible): both the uuid and the
// oleacc import libraries define IID_IAccessible, and a program that pulls
// in both fails to link.
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <string_view>

// Declares the members of IAccessible an object fills in itself.
#define QUORVANE_ACCESSIBLE_MEMBERS                                                                     \
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;                                \
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;                                   \
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;                  \
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;                           \
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;                         \
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;             \
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;                        \
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;                      \
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;                                     \
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;                \
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) \
      override;                                                                                        \
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;          \
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;                       \
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

namespace quorvane {

class AccessibleBase : public IAccessible {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return NoText(help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic) *topic = 0;
    return NoText(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return NoText(shortcut); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 protected:
  AccessibleBase() = default;
  ~AccessibleBase() = default;

  // The child id a VARIANT names: CHILDID_SELF or a positive id. False for
  // anything but a VT_I4.
  static bool ChildId(const VARIANT& child, LONG* id) {
    if (child.vt != VT_I4) return false;
    *id = child.lVal;
    return true;
  }
  // Out parameters start empty, so that after a failure a caller finds
  // nothing to free. False for a null one.
  static bool Empty(BSTR* out) {
    if (out) *out = nullptr;
    return out != nullptr;
  }
  static bool Empty(VARIANT* out) {
    if (out) VariantInit(out);
    return out != nullptr;
  }
  static HRESULT Text(std::wstring_view text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  static HRESULT Count(long value, long* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }
  static HRESULT NoText(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  static HRESULT Number(LONG value, VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
  }
  // Screen coordinates of a rectangle, as accLocation gives them.
  static HRESULT Location(const RECT& screen, long* left, long* top, long* width, long* height) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = screen.left;
    *top = screen.top;
    *width = screen.right - screen.left;
    *height = screen.bottom - screen.top;
    return S_OK;
  }
  // The standard object `objectId` of `window` (the frame's, the client's),
  // as a parent.
  static HRESULT StandardObject(HWND window, LONG objectId, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!window) return S_FALSE;
    return AccessibleObjectFromWindow(window, static_cast<DWORD>(objectId), IID_IDispatch,
                                      reinterpret_cast<void**>(object));
  }
  // `rect` in the client coordinates of `window`, on the screen.
  static RECT OnScreen(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
};

}  // namespace quorvane
