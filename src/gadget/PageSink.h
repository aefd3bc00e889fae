#pragma once
// The off-screen page of the text area: what the text layout draws. The
// implementation makes the surface (page size, body font, text colour and
// transparent background) before the layout starts. Only the page that holds
// the typed position is drawn, once per layout: clear, bar backgrounds, text
// runs, copy.
#include <string_view>

#include "gadget/GadgetGeometry.h"

namespace quorvane {

enum class Bar { kTitle, kLink };

class PageSink {
 public:
  virtual ~PageSink() = default;

  // Fill the whole page, `width` x `height`, white.
  virtual void ClearPage(int width, int height) = 0;
  // Stretch the bar's gradient strip (its first 3 columns) over `area`.
  virtual void DrawBarBackground(Bar bar, const Rect& area) = 0;
  // Draw `run` with its top-left corner at (x, y).
  virtual void DrawRun(int x, int y, std::u16string_view run) = 0;
  // Copy the page, `width` x `height`, onto the gadget's surface at (0, 0).
  virtual void CopyToTarget(int width, int height) = 0;
};

}  // namespace quorvane
