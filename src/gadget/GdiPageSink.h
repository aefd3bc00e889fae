#pragma once
// The text page on an off-screen surface: white fill, the bars' gradient
// strips, text runs in the surface's font and colour, and the copy onto the
// gadget's surface.
#include <windows.h>

#include "gadget/HighContrast.h"
#include "gadget/PageSink.h"

namespace quorvane {

// Fills `area` of `dc` with a solid colour.
void FillWithColour(HDC dc, const RECT& area, COLORREF colour);

class GdiPageSink : public PageSink {
 public:
  // `page` is the text page (body font selected), `bitmapSource` a surface
  // without a bitmap of its own into which the bar bitmaps are selected for
  // each copy, `target` the gadget's surface. The bar bitmaps are not
  // selected into any other context while the sink draws.
  // With `contrast`, the page is filled with its window colour and the bars
  // with its button face instead of the strips.
  GdiPageSink(HDC page, HDC bitmapSource, HDC target, HBITMAP titleBar, HBITMAP linkBar,
              const HighContrastColours* contrast = nullptr)
      : page_(page), bitmapSource_(bitmapSource), target_(target), titleBar_(titleBar), linkBar_(linkBar),
        contrast_(contrast) {}

  void ClearPage(int width, int height) override;
  void DrawBarBackground(Bar bar, const Rect& area) override;
  void DrawRun(int x, int y, std::u16string_view run) override;
  void CopyToTarget(int width, int height) override;

 private:
  HDC page_;
  HDC bitmapSource_;
  HDC target_;
  HBITMAP titleBar_;
  HBITMAP linkBar_;
  const HighContrastColours* contrast_;
};

}  // namespace quorvane
