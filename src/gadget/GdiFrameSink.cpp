#include "gadget/GdiFrameSink.h"

#include <climits>

namespace quorvane {

GdiFrameSink::GdiFrameSink(HDC dc, HFONT titleFont, HFONT feedTitleFont, COLORREF linkColour,
                           TextInkCache* inkCache, const HighContrastColours* contrast)
    : dc_(dc),
      titleFont_(titleFont),
      feedTitleFont_(feedTitleFont),
      titleColour_(contrast ? contrast->buttonText : linkColour),
      linkColour_(contrast ? contrast->hotLight : linkColour),
      outlinePen_(CreatePen(PS_SOLID, 1, contrast ? contrast->buttonText : kOutlineColour)),
      inkCache_(inkCache) {}

void GdiFrameSink::DrawBarText(BarText style, const Rect& area, std::u16string_view text) {
  if (text.empty()) return;
  const bool title = style == BarText::kTitle;
  const SelectedObject font(dc_, title ? titleFont_ : feedTitleFont_);
  const COLORREF previousColour = SetTextColor(dc_, title ? titleColour_ : linkColour_);
  RECT rect{area.left, area.top, area.right, area.bottom};
  // No DT_WORDBREAK: one line, cut with an ellipsis. DT_NOPREFIX keeps "&"
  // as written in feed titles instead of turning it into an underline.
  const UINT format = (title ? DT_LEFT : DT_CENTER) | DT_TOP | DT_SINGLELINE | DT_NOPREFIX |
                      DT_END_ELLIPSIS;
  const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
  const auto* chars = reinterpret_cast<const wchar_t*>(text.data());
  if (title || !DrawUnderlinedToInk(rect, chars, length, format)) DrawTextW(dc_, chars, length, &rect, format);
  SetTextColor(dc_, previousColour);
}

// The font's own underline runs to the text's extent, which can reach past
// the last glyph; this one stops where the ink does.
bool GdiFrameSink::DrawUnderlinedToInk(const RECT& area, const wchar_t* text, int length, UINT format) {
  OUTLINETEXTMETRICW outline{};
  outline.otmSize = sizeof(outline);
  if (!GetOutlineTextMetricsW(dc_, sizeof(outline), &outline)) return false;  // the underlined font
  const SelectedObject plain(dc_, titleFont_);
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc_, text, length, &extent) || extent.cx > area.right - area.left) return false;
  const std::u16string_view run(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
  const int ink = inkCache_ ? inkCache_->Width(titleFont_, run) : InkWidth(titleFont_, run);
  // Centred by its ink, which is what the eye sees.
  const int left = area.left + (area.right - area.left - ink) / 2;
  RECT rect{left, area.top, area.right, area.bottom};
  DrawTextW(dc_, text, length, &rect, (format & ~DT_CENTER) | DT_LEFT);
  const int top = area.top + outline.otmTextMetrics.tmAscent - outline.otmsUnderscorePosition;
  const int thickness = outline.otmsUnderscoreSize > 0 ? static_cast<int>(outline.otmsUnderscoreSize) : 1;
  RECT line{left, top, left + ink, top + thickness};
  const UniqueBrush brush(CreateSolidBrush(linkColour_));
  FillRect(dc_, &line, brush.get());
  return true;
}

void GdiFrameSink::DrawOutline(const OutlinePath& path) {
  const SelectedObject pen(dc_, outlinePen_.get());
  POINT points[std::tuple_size_v<OutlinePath>];
  for (std::size_t i = 0; i < path.size(); ++i) points[i] = {path[i].x, path[i].y};
  Polyline(dc_, points, static_cast<int>(path.size()));
}

}  // namespace quorvane
