#include "gadget/GdiSurface.h"

namespace quorvane {

GdiSurface::GdiSurface(HDC from, int width, int height) : dc_(from) {
  if (!dc_ || width <= 0 || height <= 0) return;
  bitmap_.reset(CreateCompatibleBitmap(from, width, height));
  if (!bitmap_) return;
  bitmapSelection_.emplace(dc_.get(), bitmap_.get());
  if (!bitmapSelection_->selected()) return;
  SetDefaults();
  valid_ = true;
}

GdiSurface::GdiSurface(HDC from) : dc_(from) {
  if (!dc_) return;
  SetDefaults();
  valid_ = true;
}

void GdiSurface::SetDefaults() {
  SetTextAlign(dc_.get(), TA_LEFT | TA_TOP);
  SetBkMode(dc_.get(), TRANSPARENT);
  SetTextColor(dc_.get(), kTextColour);
  SetBkColor(dc_.get(), kBackgroundColour);
}

}  // namespace quorvane
