#pragma once
// The gadget's surface around the text page: the two bar texts and the bar
// outlines, drawn after the page has been copied onto it.
#include <string_view>

#include "gadget/GadgetGeometry.h"

namespace quorvane {

enum class BarText {
  kTitle,      // body font, left aligned
  kFeedTitle,  // link font (underlined), centred
};

class FrameSink {
 public:
  virtual ~FrameSink() = default;

  // Draw `text` in the link colour within `area`: one line, top aligned,
  // "&" drawn as itself, cut with an ellipsis when too wide.
  virtual void DrawBarText(BarText style, const Rect& area, std::u16string_view text) = 0;
  // Draw a closed outline with the 1-pixel outline pen.
  virtual void DrawOutline(const OutlinePath& path) = 0;
};

}  // namespace quorvane
