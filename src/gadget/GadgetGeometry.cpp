#include "gadget/GadgetGeometry.h"

#include <algorithm>

namespace quorvane {

GadgetGeometry GadgetGeometry::ForControl(int width, int height, int dpi) {
  return GadgetGeometry{Rect{0, 0, std::max(width, Scale(kMinLayoutWidth, dpi)), height}, dpi};
}

int GadgetGeometry::Scale(int pixels, int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  return static_cast<int>((static_cast<long long>(pixels) * dpi + kBaseDpi / 2) / kBaseDpi);
}

OutlinePath GadgetGeometry::TitleBarOutline() const {
  const int l = layout.left, t = layout.top, r = layout.right - 1, b = layout.top + BarHeight() - 1;
  return {Point{l, t}, Point{l, b}, Point{r, b}, Point{r, t}, Point{l, t}};
}

OutlinePath GadgetGeometry::LinkBarOutline() const {
  const int l = layout.left, t = layout.bottom - BarHeight(), r = layout.right - 1, b = layout.bottom - 1;
  return {Point{l, t}, Point{l, b}, Point{r, b}, Point{r, t}, Point{l, t}};
}

}  // namespace quorvane
