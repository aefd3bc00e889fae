#include "gadget/GdiFrameSink.h"

#include <climits>

namespace quorvane {

GdiFrameSink::GdiFrameSink(HDC dc, HFONT titleFont, HFONT feedTitleFont, COLORREF linkColour)
    : dc_(dc),
      titleFont_(titleFont),
      feedTitleFont_(feedTitleFont),
      linkColour_(linkColour),
      outlinePen_(CreatePen(PS_SOLID, 1, kOutlineColour)) {}

void GdiFrameSink::DrawBarText(BarText style, const Rect& area, std::u16string_view text) {
  if (text.empty()) return;
  const bool title = style == BarText::kTitle;
  const SelectedObject font(dc_, title ? titleFont_ : feedTitleFont_);
  const COLORREF previousColour = SetTextColor(dc_, linkColour_);
  RECT rect{area.left, area.top, area.right, area.bottom};
  // No DT_WORDBREAK: one line, cut with an ellipsis. DT_NOPREFIX keeps "&"
  // as written in feed titles instead of turning it into an underline.
  const UINT format = (title ? DT_LEFT : DT_CENTER) | DT_TOP | DT_SINGLELINE | DT_NOPREFIX |
                      DT_END_ELLIPSIS;
  const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
  DrawTextW(dc_, reinterpret_cast<const wchar_t*>(text.data()), length, &rect, format);
  SetTextColor(dc_, previousColour);
}

void GdiFrameSink::DrawOutline(const OutlinePath& path) {
  const SelectedObject pen(dc_, outlinePen_.get());
  POINT points[std::tuple_size_v<OutlinePath>];
  for (std::size_t i = 0; i < path.size(); ++i) points[i] = {path[i].x, path[i].y};
  Polyline(dc_, points, static_cast<int>(path.size()));
}

}  // namespace quorvane
