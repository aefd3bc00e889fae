#include "gadget/GadgetGeometry.h"

#include <algorithm>

namespace quorvane {

GadgetGeometry GadgetGeometry::ForControl(int width, int height) {
  return GadgetGeometry{Rect{0, 0, std::max(width, kMinLayoutWidth), height}};
}

OutlinePath GadgetGeometry::TitleBarOutline() const {
  const int l = layout.left, t = layout.top, r = layout.right - 1, b = layout.top + kBarHeight - 1;
  return {Point{l, t}, Point{l, b}, Point{r, b}, Point{r, t}, Point{l, t}};
}

OutlinePath GadgetGeometry::LinkBarOutline() const {
  const int l = layout.left, t = layout.bottom - kBarHeight, r = layout.right - 1, b = layout.bottom - 1;
  return {Point{l, t}, Point{l, b}, Point{r, b}, Point{r, t}, Point{l, t}};
}

}  // namespace quorvane
