#pragma once
// The gadget's surface around the text page: bar texts in the link colour
// and the bar outlines with a 1-pixel solid pen.
#include <windows.h>

#include "gadget/FrameSink.h"
#include "gadget/GdiObjects.h"

namespace quorvane {

class GdiFrameSink : public FrameSink {
 public:
  static constexpr COLORREF kOutlineColour = RGB(132, 130, 132);

  // `titleFont` draws the title, `feedTitleFont` (underlined) the feed title.
  GdiFrameSink(HDC dc, HFONT titleFont, HFONT feedTitleFont, COLORREF linkColour);

  void DrawBarText(BarText style, const Rect& area, std::u16string_view text) override;
  void DrawOutline(const OutlinePath& path) override;

 private:
  HDC dc_;
  HFONT titleFont_;
  HFONT feedTitleFont_;
  COLORREF linkColour_;
  UniquePen outlinePen_;
};

}  // namespace quorvane
