#pragma once
// Measures runs of text with GetTextExtentPoint32W on a surface that has the
// body font selected, and counts how often it was asked.
#include <windows.h>

#include <cstddef>

#include "gadget/TextMeasurer.h"

namespace quorvane {

class GdiTextMeasurer : public TextMeasurer {
 public:
  // `font` must be the font selected into `dc`; it is the key under which
  // line breaks are cached, so it must stay alive (and unchanged) for as
  // long as any cache holds lines measured with it.
  GdiTextMeasurer(HDC dc, HFONT font) : dc_(dc), font_(font) {}

  TextExtent Measure(std::u16string_view run) override;
  std::uintptr_t FontKey() const override { return reinterpret_cast<std::uintptr_t>(font_); }

  std::size_t Calls() const { return calls_; }

 private:
  HDC dc_;
  HFONT font_;
  std::size_t calls_ = 0;
};

}  // namespace quorvane
