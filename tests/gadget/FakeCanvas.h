#pragma once
// Fakes for the drawing side of the gadget: measurers with known metrics and
// sinks that record what was drawn as readable lines.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "gadget/FrameSink.h"
#include "gadget/PageSink.h"
#include "gadget/ScreenHost.h"
#include "gadget/TextMeasurer.h"

namespace quorvane::testing {

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

inline std::string RectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// Every character the same width; counts the calls.
class FixedWidthMeasurer : public TextMeasurer {
 public:
  explicit FixedWidthMeasurer(int charWidth = 6, int height = 13, std::uintptr_t key = 1)
      : charWidth_(charWidth), height_(height), key_(key) {}
  TextExtent Measure(std::u16string_view run) override {
    ++calls;
    return {static_cast<int>(run.size()) * charWidth_, height_};
  }
  std::uintptr_t FontKey() const override { return key_; }
  int calls = 0;

 private:
  int charWidth_, height_;
  std::uintptr_t key_;
};

// Widths vary by character, as with a proportional font.
class ProportionalMeasurer : public TextMeasurer {
 public:
  TextExtent Measure(std::u16string_view run) override {
    ++calls;
    int width = 0;
    for (char16_t c : run) width += Width(c);
    return {width, 13};
  }
  std::uintptr_t FontKey() const override { return 2; }
  static int Width(char16_t c) {
    switch (c) {
      case u' ': case u'i': case u'l': case u'.': return 3;
      case u'm': case u'w': case u'M': case u'W': return 10;
      default: return 4 + static_cast<int>(c % 4);
    }
  }
  int calls = 0;
};

class RecordingPage : public PageSink {
 public:
  void ClearPage(int width, int height) override {
    log.push_back("clear " + std::to_string(width) + "x" + std::to_string(height));
  }
  void DrawBarBackground(Bar bar, const Rect& area) override {
    log.push_back(std::string(bar == Bar::kTitle ? "title" : "link") + " bar " + RectText(area));
  }
  void DrawRun(int x, int y, std::u16string_view run) override {
    log.push_back("run " + std::to_string(x) + "," + std::to_string(y) + " '" + Narrow(run) + "'");
    runs.push_back(Narrow(run));
  }
  void CopyToTarget(int width, int height) override {
    log.push_back("copy " + std::to_string(width) + "x" + std::to_string(height));
  }
  std::vector<std::string> log;
  std::vector<std::string> runs;
};

class RecordingFrame : public FrameSink {
 public:
  void DrawBarText(BarText style, const Rect& area, std::u16string_view text) override {
    log.push_back(std::string(style == BarText::kTitle ? "title '" : "feed title '") + Narrow(text) +
                  "' in " + RectText(area));
  }
  void DrawOutline(const OutlinePath& path) override {
    std::string text = "outline";
    for (const Point& p : path) text += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    log.push_back(text);
  }
  std::vector<std::string> log;
};

// A store of records handed out round robin, and counters for the waits.
class FakeHost : public ScreenHost {
 public:
  bool HasFetcher() const override { return hasFetcher; }
  FeedItem NextItem() override {
    if (store.empty()) return PlaceholderItem();
    FeedItem item = store[next % store.size()];
    next = (next + 1) % store.size();
    return item;
  }
  FeedItem PreviousItem() override {
    if (store.empty()) return PlaceholderItem();
    const std::size_t previous = (next + 2 * store.size() - 2) % store.size();
    next = (previous + 1) % store.size();
    return store[previous];
  }
  bool BeginNextScreenWait() override {
    ++nextScreenWaits;
    return waitsStart;
  }
  bool BeginResumeWait() override {
    ++resumeWaits;
    return waitsStart;
  }
  void EndWaits() override { ++endedWaits; }

  std::vector<FeedItem> store;
  std::size_t next = 0;
  bool hasFetcher = true;
  bool waitsStart = true;
  int nextScreenWaits = 0;
  int resumeWaits = 0;
  int endedWaits = 0;
};

inline FeedItem Record(std::u16string description, std::u16string title = u"T",
                       std::u16string feedTitle = u"F") {
  FeedItem item;
  item.link = u"http://example.test/" + title;
  item.title = std::move(title);
  item.description = std::move(description);
  item.feedTitle = std::move(feedTitle);
  return item;
}

}  // namespace quorvane::testing
