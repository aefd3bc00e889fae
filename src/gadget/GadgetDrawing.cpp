// A plain drawing until the real one: white, and the typed part of the
// screen text in the body font.
#include <algorithm>

#include "gadget/GadgetControl.h"

namespace quorvane {

void GadgetControl::DrawGadget(HDC dc, const RECT& bounds) {
  FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const std::u16string paused = PausedText();
  const std::u16string_view text = machine_.ScreenText(paused);
  const int typed = machine_.Paused() ? static_cast<int>(text.size())
                                      : std::min<int>(machine_.TypedCount(), static_cast<int>(text.size()));
  RECT area = bounds;
  HGDIOBJ oldFont = SelectObject(dc, bodyFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), typed, &area, DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

}  // namespace quorvane
