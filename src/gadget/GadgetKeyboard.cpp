// Keys and focus: the keyboard does what the pointer, the wheel and the
// menu do. A windowless control gets the keys of its container's window
// through IOleInPlaceObjectWindowless::OnWindowMessage while the container
// gives it the focus; a control with a window of its own gets them there.
#include "gadget/GadgetControl.h"

#include <oleacc.h>

namespace quorvane {

bool GadgetControl::OnKey(UINT msg, WPARAM key) {
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const bool menuKey = key == VK_APPS || (key == VK_F10 && shift);
  if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && !focusCues_) {
    focusCues_ = true;  // the keyboard is in use: show where it goes
    RequestRedraw();
  }
  if (msg == WM_KEYUP || msg == WM_SYSKEYUP) {
    // The default handling would turn these into the menu (or the menu
    // bar) a second time.
    return menuKey;
  }
  if (menuKey) {
    OpenMenuFromKeyboard();
    return true;
  }
  if (msg != WM_KEYDOWN) return false;
  switch (key) {
    case VK_SPACE:
      PauseOrResume();
      return true;
    case VK_RETURN:
      OpenCurrentLink();
      return true;
    case VK_RIGHT:
    case VK_DOWN:
      StepHeadline(true);
      return true;
    case VK_LEFT:
    case VK_UP:
      StepHeadline(false);
      return true;
  }
  return false;  // Tab and the rest: the container's
}

// The host builds the gadget's menu (the control only adds its items), so
// the control asks it as the system asks for a keyboard menu: the position
// -1, -1 says "at the focused item".
void GadgetControl::OpenMenuFromKeyboard() {
  HWND own = Window();
  HWND host = own ? GetParent(own) : ContainerWindow();
  if (host) SendMessageW(host, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(own ? own : host), MAKELPARAM(-1, -1));
}

// The focus rectangle shows once the keyboard has been used in the window,
// so the pointer's users see the gadget as it always was. A windowless
// control hears of it from its container, which forwards WM_UPDATEUISTATE.
void GadgetControl::OnUiState(WPARAM wParam) {
  if (!(HIWORD(wParam) & UISF_HIDEFOCUS)) return;
  const WORD action = LOWORD(wParam);
  if (action != UIS_SET && action != UIS_CLEAR) return;
  const bool shown = action == UIS_CLEAR;
  if (shown == focusCues_) return;
  focusCues_ = shown;
  if (focused_) RequestRedraw();
}

// Around the text area, inside the bars and clear of the text.
void GadgetControl::DrawFocusCue(HDC dc, const RECT& bounds, int dpi) const {
  const int bar = GadgetGeometry::Scale(GadgetGeometry::kBarHeight, dpi);
  RECT cue{bounds.left + 1, bounds.top + bar + 1, bounds.right - 1, bounds.bottom - bar - 1};
  if (cue.right <= cue.left || cue.bottom <= cue.top) return;
  DrawFocusRect(dc, &cue);
}

bool GadgetControl::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const LONG objectId = static_cast<LONG>(static_cast<DWORD>(lParam));
  const bool ours = Window() ? objectId == OBJID_CLIENT : objectId == accessible_.ObjectId();
  if (!ours) return false;
  result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(&accessible_));
  return true;
}

void GadgetControl::NoteScreen() {
  const FeedItem& item = machine_.CurrentItem();
  if (item.title == announcedTitle_ && item.description == announcedText_) return;
  announcedTitle_ = item.title;
  announcedText_ = item.description;
  accessible_.AnnounceHeadline();
}

}  // namespace quorvane
