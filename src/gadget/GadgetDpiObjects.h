#pragma once
// The gadget's fonts and bar strips for the dpi it is drawn at. The control
// keeps its 96-dpi objects for its whole life and draws with them at 96
// dpi; at any other dpi it draws with fonts of the same point size at that
// dpi and with the strip resampled to the bar's height, made here at the
// first draw at that dpi and kept until the dpi changes.
#include <windows.h>

#include <cstdint>

#include "gadget/GdiGadgetDrawing.h"
#include "win/base/GdiObjects.h"

namespace quorvane {

// A 32-bit top-down DIB section `width` x `height` (0x00RRGGBB pixels);
// `bits` gets its pixels.
HBITMAP CreateTopDownBitmap(int width, int height, std::uint32_t** bits);

// "Tahoma" at 8.25 points (11 pixels at 96 dpi), weight 400.
HFONT CreateGadgetFont(int dpi, bool underline);

// A copy of the strip `strip` `rows` high, each row a linear blend of the
// two source rows nearest to it, so a tall bar shades as smoothly as the
// strip does and is never made of repeated rows. Null on failure.
HBITMAP ResampleStrip(HBITMAP strip, int rows);

class GadgetDpiObjects {
 public:
  // The objects to draw with at `dpi`: `base` itself at 96 dpi, else fonts
  // and strips made for `dpi` from `base` (whose objects are not owned and
  // must outlive the returned ones' use). `remade` is set when new objects
  // were made: handles freed before may now name the new fonts.
  GadgetDrawingResources For(int dpi, const GadgetDrawingResources& base, bool* remade = nullptr);

 private:
  int dpi_ = 0;
  UniqueFont bodyFont_;
  UniqueFont linkFont_;
  UniqueBitmap barTop_;
  UniqueBitmap barBottom_;
};

}  // namespace quorvane
