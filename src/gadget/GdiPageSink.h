#pragma once
// The text page on an off-screen surface: white fill, the bars' gradient
// strips, text runs in the surface's font and colour, and the copy onto the
// gadget's surface.
#include <windows.h>

#include "gadget/PageSink.h"

namespace quorvane {

class GdiPageSink : public PageSink {
 public:
  // `page` is the text page (body font selected), `bitmapSource` a surface
  // without a bitmap of its own into which the bar bitmaps are selected for
  // each copy, `target` the gadget's surface. The bar bitmaps are not
  // selected into any other context while the sink draws.
  GdiPageSink(HDC page, HDC bitmapSource, HDC target, HBITMAP titleBar, HBITMAP linkBar)
      : page_(page), bitmapSource_(bitmapSource), target_(target), titleBar_(titleBar), linkBar_(linkBar) {}

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
};

}  // namespace quorvane
