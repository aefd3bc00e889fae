#pragma once
// Where the parts of the gadget go for a given control size: the layout
// rectangle, the two bars, the text area and the outlines.
#include <array>

namespace quorvane {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// A closed outline: the first point again at the end.
using OutlinePath = std::array<Point, 5>;

struct GadgetGeometry {
  static constexpr int kMinLayoutWidth = 80;     // narrower controls are laid out this wide and cut off
  static constexpr int kBarHeight = 16;
  static constexpr int kTitleBarMinHeight = 34;  // below this the title bar has outline only
  static constexpr int kLinkBarMinHeight = 50;   // below this the link bar has outline only
  static constexpr int kTextInsetX = 3;
  static constexpr int kTextInsetY = 18;

  Rect layout;  // (0, 0, max(width, 80), height)

  // Geometry of a control `width` x `height` pixels.
  static GadgetGeometry ForControl(int width, int height);
  // Geometry of a given layout rectangle.
  static GadgetGeometry ForLayout(const Rect& layout) { return GadgetGeometry{layout}; }

  bool ShowsTitleBar() const { return layout.Height() >= kTitleBarMinHeight; }
  bool ShowsLinkBar() const { return layout.Height() >= kLinkBarMinHeight; }

  // The text area: x from left+3, y from top+18 down to bottom-18.
  int TextLeft() const { return layout.left + kTextInsetX; }
  int TextTop() const { return layout.top + kTextInsetY; }
  int TextBottom() const { return layout.bottom - kTextInsetY; }
  int TextWidth() const { return layout.Width() - 2 * kTextInsetX; }

  // Where the bar backgrounds go on the text page, whose origin is the
  // layout rectangle's top-left corner.
  Rect TitleBarBackground() const { return {0, 0, layout.Width(), kBarHeight}; }
  Rect LinkBarBackground() const {
    return {0, layout.Height() - kBarHeight, layout.Width(), layout.Height()};
  }

  // Where the bar texts are drawn (clipped, ellipsis at the end).
  Rect TitleTextRect() const {
    return {layout.left + kTextInsetX, layout.top + 1, layout.right, layout.bottom};
  }
  Rect LinkTextRect() const {
    return {layout.left + kTextInsetX, layout.bottom - kBarHeight,
            layout.right - layout.left - kTextInsetX, layout.bottom};
  }

  OutlinePath TitleBarOutline() const;
  OutlinePath LinkBarOutline() const;
};

}  // namespace quorvane
