// Cost of one draw of the text area for a long description, with and without
// the line-break cache. Measuring is simulated by summing per-character
// widths, so the figures compare measuring work, not the platform's speed.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>

#include "gadget/GadgetGeometry.h"
#include "gadget/LineBreakCache.h"
#include "gadget/PageSink.h"
#include "gadget/TypedTextLayout.h"

namespace {

using namespace quorvane;

class SummingMeasurer : public TextMeasurer {
 public:
  TextExtent Measure(std::u16string_view run) override {
    ++calls;
    chars += run.size();
    int width = 0;
    for (char16_t c : run) width += 4 + (c % 4);
    return {width, 13};
  }
  std::uintptr_t FontKey() const override { return 1; }
  std::uint64_t calls = 0;
  std::uint64_t chars = 0;
};

class NullPage : public PageSink {
 public:
  void ClearPage(int, int) override {}
  void DrawBarBackground(Bar, const Rect&) override {}
  void DrawRun(int, int, std::u16string_view run) override { drawn += run.size(); }
  void CopyToTarget(int, int) override {}
  std::uint64_t drawn = 0;
};

std::u16string Description(std::size_t length) {
  std::mt19937 random(1);
  std::u16string text;
  while (text.size() < length) {
    const int word = 1 + random() % 9;
    for (int i = 0; i < word; ++i) text += static_cast<char16_t>(u'a' + random() % 26);
    text += u' ';
  }
  text.resize(length);
  return text;
}

// Draws at firstCount, firstCount + step, ... lastCount, each `repeats`
// times; with `warm`, the first draw (which lays the text out) is not counted.
void Run(const char* label, const std::u16string& text, const Rect& layout, bool cached,
         int firstCount, int lastCount, int step, int repeats, bool warm) {
  SummingMeasurer measurer;
  NullPage page;
  LineBreakCache cache;
  if (warm) {
    LayoutTypedText(page, measurer, text, firstCount, layout, true, cached ? &cache : nullptr);
    measurer.calls = measurer.chars = 0;
  }
  int draws = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int count = firstCount; count <= lastCount; count += step)
    for (int r = 0; r < repeats; ++r, ++draws)
      LayoutTypedText(page, measurer, text, count, layout, true, cached ? &cache : nullptr);
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-40s %-8s %8.1f us/draw %10.1f measures/draw %12.0f chars measured/draw\n", label,
              cached ? "cached" : "uncached", us / draws, double(measurer.calls) / draws,
              double(measurer.chars) / draws);
}

}  // namespace

int main() {
  const Rect layout = GadgetGeometry::ForControl(130, 120).layout;
  for (std::size_t length : {200u, 20000u}) {
    const std::u16string text = Description(length);
    const int n = static_cast<int>(text.size());
    const std::string typing = std::to_string(length) + " chars, typing every character";
    const std::string idle = std::to_string(length) + " chars, idle redraws at the end";
    for (bool cached : {false, true}) {
      // Typing draws over the whole text (every 7th count for the long one
      // keeps the uncached run short; the average is what matters).
      Run(typing.c_str(), text, layout, cached, 0, n, length > 1000 ? 7 : 1, 1, false);
      Run(idle.c_str(), text, layout, cached, n, n, 1, length > 1000 ? 20 : 200, true);
    }
  }
  return 0;
}
