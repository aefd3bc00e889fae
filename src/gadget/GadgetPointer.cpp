// Clicks and the pointer shape over the link bar: the bottom 16 rows of the
// position rectangle. A click opens the headline's link only in a control
// at least 50 pixels high, and only a web link; the hand shows wherever the
// link bar is, whatever the height, for a link a click would open.
#include "gadget/GadgetControl.h"

#include <shellapi.h>
#include <windowsx.h>

#include "gadget/WebLink.h"
#include "host/com/ComPtr.h"

namespace quorvane {
namespace {

constexpr LONG kLinkBarRows = 16;
constexpr LONG kMinClickableHeight = 50;

bool InLinkBar(const RECT& position, LONG y) { return y > position.bottom - kLinkBarRows; }

}  // namespace

LRESULT GadgetControl::OnLButtonDown(WPARAM, LPARAM lParam) {
  const std::u16string link = machine_.CurrentItem().link;
  if (link.empty()) return 0;
  const RECT& position = PositionRect();
  if (position.bottom - position.top >= kMinClickableHeight && InLinkBar(position, GET_Y_LPARAM(lParam)) &&
      IsWebLink(link))
    OpenLink(link);
  return 0;
}

bool GadgetControl::OnSetCursor(WPARAM wParam, LPARAM) {
  const std::u16string& link = machine_.CurrentItem().link;
  if (!IsWebLink(link)) return false;  // the usual pointer
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(reinterpret_cast<HWND>(wParam), &pointer);
  if (!InLinkBar(PositionRect(), pointer.y)) return false;
  SetCursor(handCursor_);
  return true;
}

// The result is not examined: a failure is silent.
void GadgetControl::OpenLink(const std::u16string& link) {
  ShellExecuteW(nullptr, L"open", Wide(link), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quorvane
