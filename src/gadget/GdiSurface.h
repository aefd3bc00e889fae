#pragma once
// An off-screen drawing surface of the gadget: a memory device context made
// compatible with the surface it comes from, with its own bitmap selected,
// and every gadget surface's defaults (text aligned left and top,
// transparent text background, text colour RGB(100, 100, 100), white
// background colour).
#include <windows.h>

#include <optional>

#include "win/base/GdiObjects.h"

namespace quorvane {

class GdiSurface {
 public:
  static constexpr COLORREF kTextColour = RGB(100, 100, 100);
  static constexpr COLORREF kBackgroundColour = RGB(255, 255, 255);

  // A surface `width` x `height` pixels, compatible with `from`. The
  // bitmap is made from `from` too, so a memory `from` must have its own
  // bitmap selected (a new memory context holds a 1 x 1 monochrome one).
  GdiSurface(HDC from, int width, int height);

  // A surface without a bitmap of its own: a source for bitmaps selected
  // into it for a copy.
  explicit GdiSurface(HDC from);

  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  HDC dc() const { return dc_.get(); }
  // False when the context or its bitmap could not be made.
  bool valid() const { return valid_; }

 private:
  void SetDefaults();

  MemoryDc dc_;
  UniqueBitmap bitmap_;
  std::optional<SelectedObject> bitmapSelection_;  // undone before the bitmap is deleted
  bool valid_ = false;
};

}  // namespace quorvane
