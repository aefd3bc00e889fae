#pragma once
// Measures runs of text in the font used for the text area, as the
// platform's text-extent measurement reports them.
#include <cstdint>
#include <string_view>

namespace quorvane {

struct TextExtent {
  int width = 0;
  int height = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;

  // Width and height of `run` drawn on one line.
  virtual TextExtent Measure(std::u16string_view run) = 0;

  // Two measurers with the same key measure every run alike (on Windows:
  // the font handle selected for measuring). Cached line breaks are reused
  // only under the same key.
  virtual std::uintptr_t FontKey() const = 0;
};

}  // namespace quorvane
