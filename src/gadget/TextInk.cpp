#include "gadget/TextInk.h"

#include <climits>

#include "win/base/GdiObjects.h"

namespace quorvane {

int InkWidth(HFONT font, std::u16string_view run) {
  if (run.empty() || run.size() > INT_MAX) return 0;
  const auto* text = reinterpret_cast<const wchar_t*>(run.data());
  const int length = static_cast<int>(run.size());
  const MemoryDc dc(nullptr);
  if (!dc) return 0;
  const SelectedObject measuring(dc.get(), font);
  SIZE extent{};
  TEXTMETRICW metrics{};
  if (!GetTextExtentPoint32W(dc.get(), text, length, &extent) || !GetTextMetricsW(dc.get(), &metrics)) return 0;
  // Room for glyphs that overhang their advance.
  const int width = extent.cx + metrics.tmAveCharWidth + 2, height = metrics.tmHeight;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return extent.cx;
  const SelectedObject target(dc.get(), bitmap.get());
  PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), RGB(0, 0, 0));
  TextOutW(dc.get(), 0, 0, text, length);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int x = width - 1; x >= 0; --x)
    for (int y = 0; y < height; ++y)
      if ((pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF) return x + 1;
  return 0;
}

int TextInkCache::Width(HFONT font, std::u16string_view run) {
  if (font != font_ || run != run_) {
    font_ = font;
    run_ = run;
    width_ = InkWidth(font, run);
  }
  return width_;
}

}  // namespace quorvane
