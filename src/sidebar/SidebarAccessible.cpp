#include "sidebar/SidebarAccessible.h"

#include <string>

#include "sidebar/SidebarWindow.h"

namespace quorvane::sidebar {
namespace {

HRESULT Object(IAccessible* object, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  if (!object) return S_FALSE;
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
  object->AddRef();
  return S_OK;
}

}  // namespace

SidebarAccessible::SidebarAccessible(IUnknown* outer, SidebarWindow* sidebar)
    : ComObject(outer), sidebar_(sidebar) {}

void* SidebarAccessible::FindInterface(REFIID iid) {
  return LookUpInterface(iid, {{IID_IDispatch, static_cast<IDispatch*>(this)},
                               {__uuidof(IAccessible), static_cast<IAccessible*>(this)}});
}

std::vector<size_t> SidebarAccessible::AccessibleGadgets() const {
  std::vector<size_t> found;
  for (size_t i = 0; sidebar_ && i < sidebar_->GadgetCount(); ++i) {
    ComPtr<IAccessible> object;
    IUnknown* control = sidebar_->Gadget(i).Control();
    if (control && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&object)))) found.push_back(i);
  }
  return found;
}

ComPtr<IAccessible> SidebarAccessible::Gadget(LONG id) const {
  ComPtr<IAccessible> object;
  const std::vector<size_t> gadgets = AccessibleGadgets();
  if (id >= 1 && static_cast<size_t>(id) <= gadgets.size())
    sidebar_->Gadget(gadgets[id - 1]).Control()->QueryInterface(IID_PPV_ARGS(&object));
  return object;
}

bool SidebarAccessible::IsSelf(const VARIANT& child) const {
  LONG id = 0;
  return sidebar_ && sidebar_->Window() && ChildId(child, &id) && id == CHILDID_SELF;
}

HRESULT SidebarAccessible::get_accParent(IDispatch** parent) {
  return StandardObject(sidebar_ ? sidebar_->Window() : nullptr, OBJID_WINDOW, parent);
}

HRESULT SidebarAccessible::get_accChildCount(long* count) {
  return Count(static_cast<long>(AccessibleGadgets().size()), count);
}

HRESULT SidebarAccessible::get_accChild(VARIANT child, IDispatch** object) {
  if (!object) return E_POINTER;
  LONG id = 0;
  ComPtr<IAccessible> gadget = ChildId(child, &id) ? Gadget(id) : nullptr;
  *object = gadget.Detach();
  return *object ? S_OK : E_INVALIDARG;
}

HRESULT SidebarAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!Empty(name)) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  wchar_t title[256] = {};
  const int length = GetWindowTextW(sidebar_->Window(), title, 256);
  return Text(std::wstring_view(title, length > 0 ? length : 0), name);
}

HRESULT SidebarAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (!Empty(value)) return E_POINTER;
  return IsSelf(child) ? NoText(value) : E_INVALIDARG;
}

HRESULT SidebarAccessible::get_accDescription(VARIANT child, BSTR* description) {
  if (!Empty(description)) return E_POINTER;
  return IsSelf(child) ? NoText(description) : E_INVALIDARG;
}

HRESULT SidebarAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!Empty(role)) return E_POINTER;
  return IsSelf(child) ? Number(ROLE_SYSTEM_CLIENT, role) : E_INVALIDARG;
}

HRESULT SidebarAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (!Empty(state)) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  const bool focused = GetFocus() == sidebar_->Window() && !sidebar_->FocusedGadget();
  return Number(STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0), state);
}

// The focused gadget's object, else the client itself while it has the focus.
HRESULT SidebarAccessible::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  VariantInit(focus);
  if (!sidebar_ || !sidebar_->Window()) return S_FALSE;
  if (const GadgetSite* site = sidebar_->FocusedGadget()) {
    ComPtr<IAccessible> gadget;
    if (site->Control() && SUCCEEDED(site->Control()->QueryInterface(IID_PPV_ARGS(&gadget))))
      return Object(gadget.Get(), focus);
  }
  return GetFocus() == sidebar_->Window() ? Number(CHILDID_SELF, focus) : S_FALSE;
}

HRESULT SidebarAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!Empty(action)) return E_POINTER;
  return IsSelf(child) ? NoText(action) : E_INVALIDARG;
}

HRESULT SidebarAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (!IsSelf(child)) return E_INVALIDARG;
  RECT client{};
  GetClientRect(sidebar_->Window(), &client);
  return Location(OnScreen(sidebar_->Window(), client), left, top, width, height);
}

HRESULT SidebarAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  if (!IsSelf(start)) return E_INVALIDARG;
  const long count = static_cast<long>(AccessibleGadgets().size());
  if (direction == NAVDIR_FIRSTCHILD) return Object(Gadget(1).Get(), end);
  if (direction == NAVDIR_LASTCHILD) return Object(Gadget(count).Get(), end);
  return S_FALSE;  // the client's siblings are the frame's to tell
}

HRESULT SidebarAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  if (!sidebar_ || !sidebar_->Window()) return S_FALSE;
  POINT point{x, y};
  ScreenToClient(sidebar_->Window(), &point);
  const std::vector<size_t> gadgets = AccessibleGadgets();
  for (size_t i = 0; i < gadgets.size(); ++i)
    if (PtInRect(&sidebar_->Gadget(gadgets[i]).Rect(), point)) return Object(Gadget(static_cast<LONG>(i + 1)).Get(), child);
  RECT client{};
  GetClientRect(sidebar_->Window(), &client);
  return PtInRect(&client, point) ? Number(CHILDID_SELF, child) : S_FALSE;
}

HRESULT SidebarAccessible::accDoDefaultAction(VARIANT child) {
  return IsSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

}  // namespace quorvane::sidebar
