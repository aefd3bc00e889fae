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
  // The sizes below are those at 96 dpi; every size scales with the dpi of
  // the surface drawn on, so the gadget keeps its proportions at any scale.
  static constexpr int kBaseDpi = 96;
  static constexpr int kMinLayoutWidth = 80;     // narrower controls are laid out this wide and cut off
  static constexpr int kBarHeight = 16;
  static constexpr int kTitleBarMinHeight = 34;  // below this the title bar has outline only
  static constexpr int kLinkBarMinHeight = 50;   // below this the link bar has outline only
  static constexpr int kTextInsetX = 3;
  static constexpr int kTextInsetY = 18;
  static constexpr int kTitleInsetY = 1;

  Rect layout;  // (0, 0, max(width, 80), height)
  int dpi = kBaseDpi;

  // Geometry of a control `width` x `height` pixels drawn at `dpi`.
  static GadgetGeometry ForControl(int width, int height, int dpi = kBaseDpi);
  // Geometry of a given layout rectangle.
  static GadgetGeometry ForLayout(const Rect& layout, int dpi = kBaseDpi) { return GadgetGeometry{layout, dpi}; }

  // `pixels` at 96 dpi in pixels at `dpi`, rounded to the nearest (halves
  // up): 16 is 24 at 144 dpi and 32 at 192; at 96 every size is itself.
  static int Scale(int pixels, int dpi);
  int Scaled(int pixels) const { return Scale(pixels, dpi); }

  int BarHeight() const { return Scaled(kBarHeight); }
  bool ShowsTitleBar() const { return layout.Height() >= Scaled(kTitleBarMinHeight); }
  bool ShowsLinkBar() const { return layout.Height() >= Scaled(kLinkBarMinHeight); }

  // The text area: x from left+3, y from top+18 down to bottom-18 (at 96
  // dpi).
  int TextLeft() const { return layout.left + Scaled(kTextInsetX); }
  int TextTop() const { return layout.top + Scaled(kTextInsetY); }
  int TextBottom() const { return layout.bottom - Scaled(kTextInsetY); }
  int TextWidth() const { return layout.Width() - 2 * Scaled(kTextInsetX); }

  // Where the bar backgrounds go on the text page, whose origin is the
  // layout rectangle's top-left corner.
  Rect TitleBarBackground() const { return {0, 0, layout.Width(), BarHeight()}; }
  Rect LinkBarBackground() const {
    return {0, layout.Height() - BarHeight(), layout.Width(), layout.Height()};
  }

  // Where the bar texts are drawn (clipped, ellipsis at the end).
  Rect TitleTextRect() const {
    return {TextLeft(), layout.top + Scaled(kTitleInsetY), layout.right, layout.bottom};
  }
  Rect LinkTextRect() const {
    return {TextLeft(), layout.bottom - BarHeight(), layout.right - TextLeft(), layout.bottom};
  }

  OutlinePath TitleBarOutline() const;
  OutlinePath LinkBarOutline() const;
};

}  // namespace quorvane
