#pragma once
// The gadget's surface around the text page: bar texts in the link colour
// and the bar outlines with a 1-pixel solid pen.
#include <windows.h>

#include "gadget/FrameSink.h"
#include "gadget/HighContrast.h"
#include "gadget/TextInk.h"
#include "win/base/GdiObjects.h"

namespace quorvane {

class GdiFrameSink : public FrameSink {
 public:
  static constexpr COLORREF kOutlineColour = RGB(132, 130, 132);

  // `titleFont` draws the title, `feedTitleFont` (underlined) the feed title.
  // `inkCache` (optional) keeps the feed title's measured ink between draws.
  // With `contrast`, the title and the outlines take its button text
  // colour and the feed title its hot-light colour.
  GdiFrameSink(HDC dc, HFONT titleFont, HFONT feedTitleFont, COLORREF linkColour,
               TextInkCache* inkCache = nullptr, const HighContrastColours* contrast = nullptr);

  void DrawBarText(BarText style, const Rect& area, std::u16string_view text) override;
  void DrawOutline(const OutlinePath& path) override;

 private:
  HDC dc_;
  HFONT titleFont_;
  HFONT feedTitleFont_;
  COLORREF titleColour_;
  COLORREF linkColour_;
  UniquePen outlinePen_;
  TextInkCache* inkCache_;

  // The feed title: its glyphs without the font's underline, then an
  // underline as long as the ink. False when the text does not fit (it is
  // then cut with an ellipsis by the underlined font as it stands).
  bool DrawUnderlinedToInk(const RECT& area, const wchar_t* text, int length, UINT format);
};

}  // namespace quorvane
