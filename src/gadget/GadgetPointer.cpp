// Clicks and the pointer shape over the link bar: the bottom 16 rows of the
// control's rectangle (at 96 dpi; as many as the last draw's bar had). A
// click opens the headline's link only in a control at least 50 pixels high
// (scaled likewise), and only a web link; the hand shows wherever the link
// bar is, whatever the height, for a link a click would open.
#include "gadget/GadgetControl.h"

#include <shellapi.h>
#include <windowsx.h>

#include "gadget/WebLink.h"
#include "win/com/ComPtr.h"

namespace quorvane {
namespace {

bool InLinkBar(const RECT& frame, LONG y, int dpi) {
  return y > frame.bottom - GadgetGeometry::Scale(GadgetGeometry::kBarHeight, dpi);
}

// The control's rectangle in the coordinates of its pointer messages: the
// container's client area when windowless, the control's own client area
// when it has a window (whose origin is the rectangle's top left).
RECT PointerFrame(HWND own, const RECT& position) {
  if (!own) return position;
  return {0, 0, position.right - position.left, position.bottom - position.top};
}

}  // namespace

LRESULT GadgetControl::OnLButtonDown(WPARAM, LPARAM lParam) {
  const std::u16string link = machine_.CurrentItem().link;
  if (link.empty()) return 0;
  const RECT frame = PointerFrame(Window(), PositionRect());
  const bool clickable = frame.bottom - frame.top >= GadgetGeometry::Scale(GadgetGeometry::kLinkBarMinHeight, drawDpi_);
  if (clickable && InLinkBar(frame, GET_Y_LPARAM(lParam), drawDpi_)) OpenCurrentLink();
  return 0;
}

void GadgetControl::OpenCurrentLink() {
  const std::u16string link = machine_.CurrentItem().link;
  if (IsWebLink(link)) OpenLink(link);
}

bool GadgetControl::OnSetCursor(WPARAM wParam, LPARAM) {
  const std::u16string& link = machine_.CurrentItem().link;
  if (!IsWebLink(link)) return false;  // the usual pointer
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(reinterpret_cast<HWND>(wParam), &pointer);
  if (!InLinkBar(PointerFrame(Window(), PositionRect()), pointer.y, drawDpi_)) return false;
  SetCursor(handCursor_);
  return true;
}

// The result is not examined: a failure is silent.
void GadgetControl::OpenLink(const std::u16string& link) {
  ShellExecuteW(nullptr, L"open", Wide(link), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quorvane
