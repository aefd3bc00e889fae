#include "gadget/GadgetAccessible.h"

#include <algorithm>
#include <atomic>

#include "gadget/GadgetControl.h"
#include "gadget/WebLink.h"

namespace quorvane {
namespace {

constexpr wchar_t kName[] = L"QuorvaneRSS";
constexpr wchar_t kPausedDescription[] = L"Paused";
// The default action of a link, as the system's own links name it.
constexpr wchar_t kJump[] = L"Jump";
// Object ids of windowless gadgets: positive, and far from the small
// numbers other servers tend to pick.
constexpr LONG kFirstObjectId = 0x51560000;

LONG NewObjectId() {
  static std::atomic<LONG> made{0};
  return kFirstObjectId + (made.fetch_add(1) & 0xFFFF);
}

std::wstring_view View(const std::u16string& text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

bool IsChild(LONG id) { return id >= GadgetAccessible::kTitleBar && id <= GadgetAccessible::kLinkBar; }

}  // namespace

GadgetAccessible::GadgetAccessible(GadgetControl& control) : control_(control), objectId_(NewObjectId()) {}

HRESULT GadgetAccessible::QueryInterface(REFIID iid, void** out) {
  return control_.ControllingUnknown()->QueryInterface(iid, out);
}
ULONG GadgetAccessible::AddRef() { return control_.ControllingUnknown()->AddRef(); }
ULONG GadgetAccessible::Release() { return control_.ControllingUnknown()->Release(); }

HWND GadgetAccessible::EventWindow(LONG* objectId) const {
  if (HWND own = control_.Window()) {
    *objectId = OBJID_CLIENT;
    return own;
  }
  *objectId = objectId_;
  return control_.InPlaceActive() ? control_.ContainerWindow() : nullptr;
}

// Once per new headline, never per typed character: the names are the
// title and the whole description, which typing does not change.
void GadgetAccessible::AnnounceHeadline() const {
  LONG objectId = 0;
  HWND window = EventWindow(&objectId);
  if (!window) return;
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, objectId, kTitleBar);
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, objectId, kTextArea);
}

RECT GadgetAccessible::ScreenRect(LONG child) const {
  RECT rect{};
  if (HWND own = control_.Window()) {
    GetClientRect(own, &rect);
    rect = OnScreen(own, rect);
  } else if (HWND container = control_.InPlaceActive() ? control_.ContainerWindow() : nullptr) {
    rect = OnScreen(container, control_.PositionRect());
  }
  const int bar = GadgetGeometry::Scale(GadgetGeometry::kBarHeight, control_.drawDpi_);
  if (child == kTitleBar) rect.bottom = std::min<LONG>(rect.bottom, rect.top + bar);
  if (child == kLinkBar) rect.top = std::max<LONG>(rect.top, rect.bottom - bar);
  if (child == kTextArea) {
    rect.top = std::min<LONG>(rect.bottom, rect.top + bar);
    rect.bottom = std::max<LONG>(rect.top, rect.bottom - bar);
  }
  return rect;
}

// The container's client object holds a windowless gadget; a gadget with a
// window of its own sits in that window's frame object.
HRESULT GadgetAccessible::get_accParent(IDispatch** parent) {
  if (HWND own = control_.Window()) return StandardObject(own, OBJID_WINDOW, parent);
  return StandardObject(control_.InPlaceActive() ? control_.ContainerWindow() : nullptr, OBJID_CLIENT, parent);
}

HRESULT GadgetAccessible::get_accChildCount(long* count) { return Count(kLinkBar, count); }

// The children are simple elements, reached through this object and their ids.
HRESULT GadgetAccessible::get_accChild(VARIANT child, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  LONG id = 0;
  return ChildId(child, &id) && IsChild(id) ? S_FALSE : E_INVALIDARG;
}

HRESULT GadgetAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!Empty(name)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id)) return E_INVALIDARG;
  const FeedItem& item = control_.machine_.CurrentItem();
  switch (id) {
    case CHILDID_SELF:
      return Text(kName, name);
    case kTitleBar:
      return Text(View(item.title), name);
    case kTextArea:
      return Text(View(item.description), name);
    case kLinkBar:
      return Text(View(item.feedTitle), name);
  }
  return E_INVALIDARG;
}

HRESULT GadgetAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (!Empty(value)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id) || (id != CHILDID_SELF && !IsChild(id))) return E_INVALIDARG;
  const FeedItem& item = control_.machine_.CurrentItem();
  if (id == kTextArea) return Text(View(item.description), value);
  if (id == kLinkBar) return Text(View(item.link), value);
  return NoText(value);
}

HRESULT GadgetAccessible::get_accDescription(VARIANT child, BSTR* description) {
  if (!Empty(description)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id) || (id != CHILDID_SELF && !IsChild(id))) return E_INVALIDARG;
  if (id == CHILDID_SELF && control_.machine_.Paused()) return Text(kPausedDescription, description);
  return NoText(description);
}

HRESULT GadgetAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!Empty(role)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id)) return E_INVALIDARG;
  if (id == CHILDID_SELF) return Number(ROLE_SYSTEM_PANE, role);
  if (id == kLinkBar) return Number(ROLE_SYSTEM_LINK, role);
  return IsChild(id) ? Number(ROLE_SYSTEM_STATICTEXT, role) : E_INVALIDARG;
}

HRESULT GadgetAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (!Empty(state)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id)) return E_INVALIDARG;
  if (id == CHILDID_SELF)
    return Number(STATE_SYSTEM_FOCUSABLE | (control_.focused_ ? STATE_SYSTEM_FOCUSED : 0), state);
  if (id == kLinkBar) {
    const bool openable = IsWebLink(control_.machine_.CurrentItem().link);
    return Number(STATE_SYSTEM_FOCUSABLE | (openable ? STATE_SYSTEM_LINKED : STATE_SYSTEM_UNAVAILABLE), state);
  }
  return IsChild(id) ? Number(STATE_SYSTEM_READONLY, state) : E_INVALIDARG;
}

HRESULT GadgetAccessible::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  VariantInit(focus);
  return control_.focused_ ? Number(CHILDID_SELF, focus) : S_FALSE;
}

HRESULT GadgetAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!Empty(action)) return E_POINTER;
  LONG id = 0;
  if (!ChildId(child, &id) || (id != CHILDID_SELF && !IsChild(id))) return E_INVALIDARG;
  return id == kLinkBar ? Text(kJump, action) : NoText(action);
}

HRESULT GadgetAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  LONG id = 0;
  if (!ChildId(child, &id) || (id != CHILDID_SELF && !IsChild(id))) return E_INVALIDARG;
  return Location(ScreenRect(id), left, top, width, height);
}

HRESULT GadgetAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  LONG from = 0;
  if (!ChildId(start, &from) || (from != CHILDID_SELF && !IsChild(from))) return E_INVALIDARG;
  LONG to = 0;
  if (from == CHILDID_SELF) {
    if (direction == NAVDIR_FIRSTCHILD) to = kTitleBar;
    if (direction == NAVDIR_LASTCHILD) to = kLinkBar;
  } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
    to = from + 1;
  } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
    to = from - 1;
  }
  return IsChild(to) ? Number(to, end) : S_FALSE;
}

HRESULT GadgetAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  const POINT point{x, y};
  for (const LONG id : {kTitleBar, kLinkBar, kTextArea}) {
    const RECT part = ScreenRect(id);
    if (PtInRect(&part, point)) return Number(id, child);
  }
  const RECT whole = ScreenRect(CHILDID_SELF);
  return PtInRect(&whole, point) ? Number(CHILDID_SELF, child) : S_FALSE;
}

HRESULT GadgetAccessible::accDoDefaultAction(VARIANT child) {
  LONG id = 0;
  if (!ChildId(child, &id) || (id != CHILDID_SELF && !IsChild(id))) return E_INVALIDARG;
  if (id != kLinkBar) return DISP_E_MEMBERNOTFOUND;
  control_.OpenCurrentLink();
  return S_OK;
}

}  // namespace quorvane
