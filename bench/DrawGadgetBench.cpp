// Time per draw of the whole gadget through GDI, for a headline-sized and an
// article-sized description (words, or Chinese without spaces) with the
// typed position on the last page, and the number of text measurements an
// idle redraw makes. Run under Wine with
// scripts/wine-run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "gadget/GdiGadgetDrawing.h"
#include "win/base/GdiObjects.h"

namespace {

using namespace quorvane;

constexpr int kWidth = 200;
constexpr int kHeight = 150;

class OneRecordHost : public ScreenHost {
 public:
  explicit OneRecordHost(FeedItem item) : item_(std::move(item)) {}
  FeedItem NextItem() override { return item_; }
  FeedItem PreviousItem() override { return item_; }
  bool BeginNextScreenWait() override { return true; }
  bool BeginResumeWait() override { return true; }

 private:
  FeedItem item_;
};

enum class Script { kWords, kChinese };

// Words of 1 to 9 letters, or Chinese ideographs without any space, which
// the layout breaks between characters.
std::u16string Description(std::size_t length, Script script) {
  std::mt19937 random(1);
  std::u16string text;
  while (text.size() < length) {
    if (script == Script::kChinese) {
      text += static_cast<char16_t>(0x4E00 + random() % 0x5000);
      continue;
    }
    const int word = 1 + random() % 9;
    for (int i = 0; i < word; ++i) text += static_cast<char16_t>(u'a' + random() % 26);
    text += u' ';
  }
  text.resize(length);
  return text;
}

// Bitmap 210 from the program's own resources (it links the module's).
HBITMAP LoadBarStrip() {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(210), IMAGE_BITMAP, 0, 0, 0));
}

HFONT MakeFont(bool underline) {
  return CreateFontW(-11, 0, 0, 0, 400, FALSE, underline, FALSE, 0, 0, 0, 0, 0, L"Tahoma");
}

struct Figures {
  double firstDrawUs = 0;
  double typingDrawUs = 0;
  double idleDrawUs = 0;
  std::size_t typingMeasures = 0;
  std::size_t idleMeasures = 0;
  int draws = 0;
};

double Microseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - since).count();
}

// The median resists the load of a shared build machine better than a mean.
double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// One screen of `length` characters: typed to 150 characters before the
// end, then `draws` typing ticks each followed by a draw, then as many idle
// redraws once the text is typed out. Without `cached` every draw lays the
// whole text out from scratch.
Figures Run(std::size_t length, Script script, bool cached, int draws, HDC target,
            const GadgetDrawingResources& resources) {
  FeedItem item;
  item.title = u"A headline";
  item.feedTitle = u"A feed";
  item.description = Description(length, script);
  OneRecordHost host(item);
  TypingMachine machine(host);
  machine.TakeFirstScreen();
  const int start = static_cast<int>(length) > 150 ? static_cast<int>(length) - 150 : 0;
  while (machine.TypedCount() < start) machine.TypingTick();

  LineBreakCache cache;
  const RECT bounds{0, 0, kWidth, kHeight};
  const auto draw = [&](GadgetDrawStats& stats) {
    if (!cached) cache.Clear();
    DrawGadgetToDc(target, bounds, machine, u"< Paused >", resources, cache, &stats);
  };

  Figures figures;
  figures.draws = draws;
  GadgetDrawStats stats;
  auto began = std::chrono::steady_clock::now();
  draw(stats);
  figures.firstDrawUs = Microseconds(began);

  std::vector<double> times;
  for (int i = 0; i < draws; ++i) {
    machine.TypingTick();
    // A full page holds typing; the resume message would end the hold.
    if (machine.ScreenFull()) machine.AwakeFeed();
    began = std::chrono::steady_clock::now();
    draw(stats);
    times.push_back(Microseconds(began));
    figures.typingMeasures += stats.measureCalls;
  }
  figures.typingDrawUs = Median(times);

  while (!machine.WaitingForNextScreen()) machine.TypingTick();
  draw(stats);
  times.clear();
  for (int i = 0; i < draws; ++i) {
    began = std::chrono::steady_clock::now();
    draw(stats);
    times.push_back(Microseconds(began));
    figures.idleMeasures += stats.measureCalls;
  }
  figures.idleDrawUs = Median(times);
  return figures;
}

}  // namespace

int main() {
  const UniqueFont bodyFont(MakeFont(false));
  const UniqueFont linkFont(MakeFont(true));
  const UniqueBitmap barTop(LoadBarStrip());
  const UniqueBitmap barBottom(LoadBarStrip());
  const GadgetDrawingResources resources{bodyFont.get(), linkFont.get(), barTop.get(), barBottom.get(),
                                         RGB(1, 24, 116), nullptr, std::nullopt};

  // The target: a screen-compatible surface, as a host's window would be.
  HDC screen = GetDC(nullptr);
  const MemoryDc target(screen);
  const UniqueBitmap targetBitmap(CreateCompatibleBitmap(screen, kWidth, kHeight));
  ReleaseDC(nullptr, screen);
  const SelectedObject selection(target.get(), targetBitmap.get());

  std::printf("DrawGadget, %d x %d, typed position on the last page\n", kWidth, kHeight);
  std::printf("(median time per draw; first draw = the draw that lays the text out)\n");
  std::printf("%-8s %-7s %-9s %12s %14s %14s %16s %14s\n", "text", "chars", "cache", "first draw",
              "typing draw", "idle draw", "measures/typing", "idle measures");
  double perDraw[2][2][2] = {};  // [script][cached][length]
  for (int s = 0; s < 2; ++s) {
    const Script script = s == 0 ? Script::kWords : Script::kChinese;
    for (int c = 0; c < 2; ++c) {
      const bool cached = c == 1;
      for (int l = 0; l < 2; ++l) {
        const std::size_t length = l == 0 ? 200 : 20000;
        const Figures f = Run(length, script, cached, cached ? 150 : 40, target.get(), resources);
        perDraw[s][c][l] = f.typingDrawUs;
        std::printf("%-8s %-7zu %-9s %9.0f us %11.1f us %11.1f us %16.1f %14zu\n",
                    s == 0 ? "words" : "chinese", length, cached ? "cached" : "none", f.firstDrawUs,
                    f.typingDrawUs, f.idleDrawUs, double(f.typingMeasures) / f.draws, f.idleMeasures);
      }
    }
  }
  for (int s = 0; s < 2; ++s)
    std::printf("%s: ratio 20000 / 200 chars per typing draw: %.2f with the line-break cache (goal <= 3), "
                "%.1f without\n",
                s == 0 ? "words" : "chinese", perDraw[s][1][1] / perDraw[s][1][0],
                perDraw[s][0][1] / perDraw[s][0][0]);
  return 0;
}
