// The sidebar's keyboard focus and what screen readers reach through its
// window: Tab moves the focus from gadget to gadget, the focused gadget gets
// the other keys, and WM_GETOBJECT gives the client's accessible object or,
// for a windowless gadget's own object id, the gadget's.
#include "sidebar/SidebarWindow.h"

#include <oleacc.h>

namespace quorvane::sidebar {

GadgetSite* SidebarWindow::FocusedGadget() const {
  for (const Slot& slot : slots_)
    if (slot.site->HasFocus()) return slot.site.Get();
  return nullptr;
}

// A windowless gadget learns of its focus from the messages its window
// would have had.
void SidebarWindow::FocusGadget(GadgetSite* target) {
  LRESULT ignored = 0;
  for (const Slot& slot : slots_) {
    if (slot.site.Get() == target || !slot.site->HasFocus()) continue;
    slot.site->SetFocus(FALSE);
    slot.site->ForwardMessage(WM_KILLFOCUS, 0, 0, &ignored);
  }
  if (!target || target->HasFocus()) return;
  if (HWND own = target->ControlWindow()) {
    ::SetFocus(own);
    return;
  }
  target->SetFocus(TRUE);
  target->ForwardMessage(WM_SETFOCUS, 0, 0, &ignored);
}

// Tab and Shift+Tab go round the gadgets in panel order.
void SidebarWindow::MoveFocus(bool forward) {
  if (slots_.empty()) return;
  const size_t count = slots_.size();
  size_t next = forward ? 0 : count - 1;
  if (const GadgetSite* focused = FocusedGadget()) {
    const size_t at = IndexOf(*focused);
    next = forward ? (at + 1) % count : (at + count - 1) % count;
  }
  FocusGadget(slots_[next].site.Get());
}

// Windows' convention for keyboard cues: hidden until the keyboard is used
// in the window, unless the user asked to see them always.
void SidebarWindow::HideFocusCues() {
  BOOL always = FALSE;
  focusCues_ = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
  if (!focusCues_) SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

// The system passes a change of cues down to child windows only: windowless
// gadgets hear of it from us.
void SidebarWindow::ShowFocusCues() {
  if (focusCues_) return;
  focusCues_ = true;
  const WPARAM change = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
  SendMessageW(window_, WM_CHANGEUISTATE, change, 0);
  OnUiState(change);
}

void SidebarWindow::OnUiState(WPARAM change) {
  LRESULT ignored = 0;
  for (const Slot& slot : slots_) slot.site->ForwardMessage(WM_UPDATEUISTATE, change, 0, &ignored);
}

// Only top-level windows hear these: the gadgets follow a theme change
// through them.
void SidebarWindow::PassOnSystemChange(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT ignored = 0;
  for (const Slot& slot : slots_) {
    if (HWND child = slot.site->ControlWindow()) {
      SendMessageW(child, message, wParam, lParam);
    } else {
      slot.site->ForwardMessage(message, wParam, lParam, &ignored);
    }
  }
}

bool SidebarWindow::OnKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (message == WM_KEYDOWN) ShowFocusCues();
  if (message == WM_KEYDOWN && wParam == VK_TAB) {
    MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return true;
  }
  if (message == WM_CHAR && wParam == L'\t') return true;
  GadgetSite* target = FocusTarget();
  return target && target->ForwardMessage(message, wParam, lParam, &result);
}

LRESULT SidebarWindow::OnGetObject(WPARAM wParam, LPARAM lParam) {
  const LONG objectId = static_cast<LONG>(static_cast<DWORD>(lParam));
  if (objectId == OBJID_CLIENT) {
    if (!accessible_) accessible_ = ComPtr<SidebarAccessible>(new SidebarAccessible(nullptr, this));
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible_.Get()));
  }
  for (const Slot& slot : slots_) {
    LRESULT result = 0;
    if (slot.site->ForwardMessage(WM_GETOBJECT, wParam, lParam, &result)) return result;
  }
  return DefWindowProcW(window_, WM_GETOBJECT, wParam, lParam);
}

void SidebarWindow::LetGoOfAccessible() {
  if (accessible_) accessible_->Disconnect();
  accessible_.Reset();
}

}  // namespace quorvane::sidebar
