#pragma once
// How far a run's ink reaches to the right of where it is drawn. Text
// extents can be wider than the glyphs as placed (Wine places Tahoma at
// -11 about a pixel per character narrower than it reports), so an
// underline drawn to the extent would run past the text.
#include <windows.h>

#include <string>
#include <string_view>

namespace quorvane {

// The width from the run's origin to the right edge of its ink, drawn with
// `font`; 0 for a run without ink.
int InkWidth(HFONT font, std::u16string_view run);

// The last run measured, so a feed title shown on screen after screen is
// drawn once to be measured.
class TextInkCache {
 public:
  int Width(HFONT font, std::u16string_view run);

 private:
  HFONT font_ = nullptr;
  std::u16string run_;
  int width_ = 0;
};

}  // namespace quorvane
