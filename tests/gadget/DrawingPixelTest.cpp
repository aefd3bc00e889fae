// Pixels of the gadget drawn through GDI into a memory surface. Font
// metrics under Wine differ from Windows, so text is checked by position
// and colour (or against the platform's own rendering of the same run),
// never by glyph shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "DrawingFixture.h"
#include "FakeCanvas.h"
#include "gadget/GadgetDpiObjects.h"
#include "gadget/GdiGadgetDrawing.h"
#include "gadget/GdiGadgetFrame.h"

namespace quorvane {
namespace {

using namespace quorvane::testing;

constexpr std::u16string_view kPausedText = u"< Paused >";

class DrawingPixelTest : public ::testing::Test {
 protected:
  // Puts `item` on screen with `typed` characters typed.
  void Show(FeedItem item, int typed) {
    if (!started_) machine.TakeFirstScreen();
    started_ = true;
    host.store = {std::move(item)};
    host.next = 0;
    machine.RequestNewScreen();
    machine.NextScreen();
    for (int i = 0; i < typed; ++i) machine.TypingTick();
  }

  // Draws the gadget at `bounds` into `canvas` and saves a snapshot.
  void Draw(Canvas& canvas, const RECT& bounds, const std::string& snapshot,
            GadgetDrawStats* stats = nullptr) {
    ASSERT_TRUE(DrawGadgetToDc(canvas.dc(), bounds, machine, kPausedText, objects.Resources(),
                               cache, stats));
    if (!snapshot.empty()) canvas.Snapshot(snapshot);
  }

  void ExpectTextArea(const Canvas& canvas, const wchar_t* run) {
    EXPECT_EQ(TextAreaDifferences(canvas, objects.bodyFont.get(), run), 0)
        << "text area differs from \"" << Narrow(std::u16string(run, run + wcslen(run)))
        << "\" drawn at (3, 18)";
  }

  FakeHost host;
  TypingMachine machine{host};
  DrawingObjects objects;
  BodyFontMetrics metrics{objects.bodyFont.get()};
  LineBreakCache cache;

 private:
  bool started_ = false;
};

TEST_F(DrawingPixelTest, BarsGradientsAndOutlinesFollowTheHeight) {
  ASSERT_TRUE(objects.barTop && objects.barBottom) << "bitmap 210 is not among the resources";
  Show(Record(u"Hi", u"Title", u"Feed"), 2);
  for (const int height : {60, 40, 30}) {
    SCOPED_TRACE("height " + std::to_string(height));
    constexpr int kWidth = 120;
    Canvas canvas(kWidth, height);
    Draw(canvas, {0, 0, kWidth, height}, "bars_" + std::to_string(height));
    const int linkTop = height - 16;

    // Both outlines, whatever the height: corners and the middle of each side.
    for (const int top : {0, linkTop}) {
      for (const POINT p : {POINT{0, top}, POINT{kWidth - 1, top}, POINT{0, top + 15},
                            POINT{kWidth - 1, top + 15}, POINT{kWidth / 2, top},
                            POINT{kWidth / 2, top + 15}, POINT{0, top + 8}, POINT{kWidth - 1, top + 8}}) {
        EXPECT_EQ(canvas.Pixel(p.x, p.y), kOutlineGrey) << p.x << "," << p.y;
      }
    }

    // Inside the outlines, left of the text and right of it: the strip's
    // row for that row of the bar when the bar shows, else the white page.
    const bool titleBar = height >= 34;
    const bool linkBar = height >= 50;
    for (const int x : {1, 2, kWidth - 3, kWidth - 2}) {
      for (int row = 1; row <= 14; ++row) {
        if (row < linkTop || row > linkTop + 15) {
          EXPECT_EQ(canvas.Pixel(x, row), titleBar ? Grey(kGradient[row]) : kWhite) << x << "," << row;
        }
        if (linkTop + row > 15) {
          EXPECT_EQ(canvas.Pixel(x, linkTop + row), linkBar ? Grey(kGradient[row]) : kWhite)
              << x << "," << linkTop + row;
        }
      }
    }

    // Bar texts in the link colour, each only with its bar.
    const Ink title = FindInk(canvas, {0, 0, kWidth, 16}, kLinkBlue);
    const Ink feed = FindInk(canvas, {0, linkTop, kWidth, height}, kLinkBlue);
    if (titleBar) {
      EXPECT_GT(title.count, 0);
      EXPECT_GE(title.left, 3);
      EXPECT_GE(title.top, 1);
    } else {
      EXPECT_EQ(title.count, 0);
    }
    EXPECT_EQ(feed.count > 0, linkBar);
  }
}

TEST_F(DrawingPixelTest, NarrowControlIsLaidOutEightyWideCutAndPlacedAtItsBounds) {
  // At 80 wide this breaks after "enough"; at 50 it would break earlier,
  // and the title's ellipsis would move.
  // Typed out, in the cursor's on-phase: no draw changes the state.
  Show(Record(u"Wide enough words here and more", u"A title longer than eighty pixels", u"Feed"), 100);
  machine.CursorBlink();
  Canvas wide(100, 60);
  Draw(wide, {0, 0, 80, 60}, "narrow_reference_80");
  Canvas narrow(100, 60);
  Draw(narrow, {0, 0, 50, 60}, "narrow_50");
  Canvas placed(100, 70);
  Draw(placed, {7, 4, 57, 64}, "narrow_50_at_7_4");

  int differing = 0, outsideTouched = 0, misplaced = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (x < 50) {
        differing += narrow.Pixel(x, y) != wide.Pixel(x, y);
      } else {
        outsideTouched += narrow.Pixel(x, y) != kUntouched;
      }
    }
  }
  for (int y = 0; y < 70; ++y) {
    for (int x = 0; x < 100; ++x) {
      const bool inside = x >= 7 && x < 57 && y >= 4 && y < 64;
      if (inside) {
        misplaced += placed.Pixel(x, y) != wide.Pixel(x - 7, y - 4);
      } else {
        outsideTouched += placed.Pixel(x, y) != kUntouched;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(misplaced, 0);
  EXPECT_EQ(outsideTouched, 0);
  // The laid-out right edge (79) is cut off: column 49 is plain bar.
  EXPECT_EQ(narrow.Pixel(49, 8), Grey(kGradient[8]));
  EXPECT_EQ(wide.Pixel(79, 8), kOutlineGrey);
}

TEST_F(DrawingPixelTest, TypedTextAndCursorInTheTextColour) {
  Show(Record(u"Hello world"), 0);
  Canvas canvas(150, 90);
  Draw(canvas, {0, 0, 150, 90}, "typed_0");
  ExpectTextArea(canvas, L"_ ");
  // The cursor alone: an underscore near the baseline of the first line.
  const Ink cursor = FindInk(canvas, {0, 16, 150, 74}, kTextGrey);
  EXPECT_GT(cursor.count, 0);
  EXPECT_LE(cursor.left, 4);
  EXPECT_LT(cursor.right, 3 + metrics.Width(L"_ "));
  EXPECT_GE(cursor.top, 18 + metrics.ascent - 2);
  EXPECT_LT(cursor.bottom, 18 + metrics.height);

  for (int i = 0; i < 5; ++i) machine.TypingTick();
  Draw(canvas, {0, 0, 150, 90}, "typed_5");
  ExpectTextArea(canvas, L"Hello_ ");

  // Typed out and waiting for the next screen: the cursor blinks.
  for (int i = 0; i < 7; ++i) machine.TypingTick();
  ASSERT_TRUE(machine.WaitingForNextScreen());
  Draw(canvas, {0, 0, 150, 90}, "waiting_cursor_off");
  ExpectTextArea(canvas, L"Hello world");
  machine.CursorBlink();
  Draw(canvas, {0, 0, 150, 90}, "waiting_cursor_on");
  ExpectTextArea(canvas, L"Hello world_ ");

  // Paused: the text stays, without the cursor in either phase, and the
  // marker stands whole at the title bar's right end.
  machine.TogglePause();
  for (int blink = 0; blink < 2; ++blink) {
    Draw(canvas, {0, 0, 150, 90}, "paused");
    ExpectTextArea(canvas, L"Hello world");
    machine.CursorBlink();
  }
  const Ink marker = FindInk(canvas, {60, 1, 150, 15}, kLinkBlue);
  EXPECT_LE(marker.right, 147);
  EXPECT_GE(marker.left, 147 - metrics.Width(L"< Paused >") - 1);
  EXPECT_GT(marker.right - marker.left, metrics.Width(L"< Paused >") * 3 / 4) << "the marker is cut";
}

TEST_F(DrawingPixelTest, BarTextsKeepAmpersandsEndInEllipsesAndTheFeedTitleIsCentredAndUnderlined) {
  constexpr int kWidth = 120, kHeight = 60;
  const auto drawTitles = [&](std::u16string title, std::u16string feedTitle, const std::string& name) {
    Show(Record(u"x", std::move(title), std::move(feedTitle)), 0);
    auto canvas = std::make_unique<Canvas>(kWidth, kHeight);
    Draw(*canvas, {0, 0, kWidth, kHeight}, name);
    return canvas;
  };
  const auto titleInk = [](const Canvas& c) { return FindInk(c, {0, 0, kWidth, 16}, kLinkBlue); };
  const auto feedInk = [](const Canvas& c) { return FindInk(c, {0, kHeight - 16, kWidth, kHeight}, kLinkBlue); };

  // "&" is drawn as itself, not taken as a mnemonic prefix.
  const auto withAmpersand = drawTitles(u"A&B", u"A&B", "ampersand");
  const auto without = drawTitles(u"AB", u"AB", "");
  EXPECT_GE(titleInk(*withAmpersand).right - titleInk(*without).right, 3);
  EXPECT_GE(feedInk(*withAmpersand).count - feedInk(*without).count, 5);

  // The feed title's underline is its longest row of ink, centred in
  // (3, B-16, R-3, B).
  const auto centred = drawTitles(u"T", u"Feed", "feed_centred");
  int longestRow = 0, rowLeft = 0, rowRight = 0;
  for (int y = kHeight - 16; y < kHeight; ++y) {
    const Ink row = FindInk(*centred, {0, y, kWidth, y + 1}, kLinkBlue);
    if (row.count > longestRow) std::tie(longestRow, rowLeft, rowRight) = std::tie(row.count, row.left, row.right);
  }
  EXPECT_EQ(longestRow, rowRight - rowLeft + 1) << "underline is one unbroken row";
  // It runs under the glyphs and stops where they do, not a space further.
  const Ink glyphs = FindInk(*centred, {0, kHeight - 16, kWidth, kHeight - 16 + metrics.ascent}, kLinkBlue);
  EXPECT_LE(std::abs(rowLeft - glyphs.left), 1);
  EXPECT_LE(std::abs(rowRight - glyphs.right), 1) << "the underline runs past the text";
  EXPECT_NEAR((rowLeft + rowRight + 1) / 2.0, kWidth / 2.0, 1.0);

  // Too wide: cut with an ellipsis inside the bar. The last columns of ink
  // are then dots on the baseline.
  const auto cut = drawTitles(u"A title far too long for the bar at all", u"A feed title far too long as well",
                              "ellipsis");
  for (const Ink& ink : {titleInk(*cut), feedInk(*cut)}) {
    EXPECT_LE(ink.right, kWidth - 2);
  }
  const Ink title = titleInk(*cut);
  const Ink tail = FindInk(*cut, {title.right - 4, 0, title.right + 1, 16}, kLinkBlue);
  const int baseline = 1 + metrics.ascent - 1;
  EXPECT_GE(tail.top, baseline - 2) << "title does not end in dots";
  EXPECT_LE(tail.bottom, baseline);
  EXPECT_GT(title.right, kWidth - 20) << "title is not cut near the right edge";
}

TEST_F(DrawingPixelTest, AtHigherDpiTheBarsGrowWithTheFontsAndShadeSmoothly) {
  Show(Record(u"Hello world", u"Title Tj", u"Feed"), 3);
  constexpr int kWidth = 240, kHeight = 160;
  // The title's ink at 96 dpi, for its height.
  Canvas base(kWidth, kHeight);
  Draw(base, {0, 0, kWidth, kHeight}, "");
  const Ink baseTitle = FindInk(base, {0, 0, kWidth, 16}, kLinkBlue);
  ASSERT_GT(baseTitle.count, 0);

  for (const int dpi : {144, 192}) {
    SCOPED_TRACE("dpi " + std::to_string(dpi));
    const int bar = dpi / 6;  // 24 and 32 pixels: 16 at 96 dpi
    GadgetDpiObjects scaled;
    LineBreakCache fresh;  // lines are kept by font handle
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(DrawGadgetToDc(canvas.dc(), {0, 0, kWidth, kHeight}, machine, kPausedText,
                               scaled.For(dpi, objects.Resources()), fresh, nullptr, dpi));
    canvas.Snapshot("dpi_" + std::to_string(dpi));

    // Each bar's outline is `bar` rows high.
    for (const int top : {0, kHeight - bar}) {
      for (const int row : {top, top + bar / 2, top + bar - 1}) {
        EXPECT_EQ(canvas.Pixel(0, row), kOutlineGrey) << "row " << row;
        EXPECT_EQ(canvas.Pixel(kWidth - 1, row), kOutlineGrey) << "row " << row;
      }
      EXPECT_EQ(canvas.Pixel(kWidth / 2, top), kOutlineGrey);
      EXPECT_EQ(canvas.Pixel(kWidth / 2, top + bar - 1), kOutlineGrey);
    }
    EXPECT_EQ(canvas.Pixel(1, bar), kWhite) << "the title bar is taller than " << bar;

    // The strip shades from top to bottom through more levels than its 16
    // rows: resampled, not stretched row by row.
    std::vector<int> levels;
    for (int row = 1; row < bar - 1; ++row) levels.push_back(GetRValue(canvas.Pixel(kWidth - 2, row)));
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
    EXPECT_GT(std::set<int>(levels.begin(), levels.end()).size(), 16u);
    EXPECT_NEAR(levels.front(), kGradient[0], 4);
    EXPECT_NEAR(levels.back(), kGradient[15], 2);

    // Both bar texts sit inside their bars, the title grown with the dpi.
    const Ink title = FindInk(canvas, {0, 0, kWidth, bar}, kLinkBlue);
    const Ink feed = FindInk(canvas, {0, kHeight - bar, kWidth, kHeight}, kLinkBlue);
    ASSERT_GT(title.count, 0);
    ASSERT_GT(feed.count, 0);
    EXPECT_GE(title.top, 1);
    EXPECT_LE(title.bottom, bar - 2) << "the title is cut by its bar";
    EXPECT_LE(feed.bottom, kHeight - 2) << "the feed title is cut by its bar";
    EXPECT_GE(title.bottom - title.top + 1, (baseTitle.bottom - baseTitle.top + 1) * dpi / 96 - 2);
    EXPECT_GE(title.left, GadgetGeometry::Scale(3, dpi));

    // The typed text and its cursor start in the scaled text area.
    const Ink typed = FindInk(canvas, {0, bar, kWidth, kHeight - bar}, kTextGrey);
    ASSERT_GT(typed.count, 0);
    EXPECT_GE(typed.top, dpi * 18 / 96);
    EXPECT_GE(typed.left, GadgetGeometry::Scale(3, dpi));
  }
}

TEST_F(DrawingPixelTest, IdleRedrawMeasuresNothingAndLeavesTheControlsObjectsFree) {
  Show(Record(u"Some words to lay out over a line or two of the text area"), 0);
  for (int i = 0; i < 200; ++i) machine.TypingTick();
  ASSERT_TRUE(machine.WaitingForNextScreen());
  Canvas canvas(150, 90);
  GadgetDrawStats first, second;
  Draw(canvas, {0, 0, 150, 90}, "", &first);
  Draw(canvas, {0, 0, 150, 90}, "", &second);
  EXPECT_GT(first.measureCalls, 0u);
  EXPECT_EQ(second.measureCalls, 0u);

  // Nothing the control owns stays selected into the released surfaces: a
  // bitmap can be selected into one context only.
  const MemoryDc other(canvas.dc());
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(objects.barTop.get()), static_cast<HGDIOBJ>(objects.barBottom.get())}) {
    const SelectedObject selection(other.get(), object);
    EXPECT_TRUE(selection.selected());
  }

  // An empty area draws nothing; a target that gives no surface fails.
  Canvas untouched(10, 10);
  EXPECT_TRUE(DrawGadgetToDc(untouched.dc(), {5, 5, 5, 9}, machine, kPausedText, objects.Resources(), cache));
  EXPECT_EQ(untouched.Pixel(5, 5), kUntouched);
  EXPECT_FALSE(DrawGadgetToDc(nullptr, {0, 0, 50, 50}, machine, kPausedText, objects.Resources(), cache));
}

// Under a high-contrast theme only the theme's colours show: none of the
// gadget's own, no strip; turning it off brings back the usual picture.
TEST_F(DrawingPixelTest, HighContrastDrawsWithTheThemesColoursAndOffDrawsAsUsual) {
  Show(Record(u"Ferries run late all week while the crane is repaired", u"Harbour news",
              u"Lindmere Gazette"),
       40);
  constexpr HighContrastColours theme{RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 0, 128),
                                      RGB(255, 255, 255)};
  GadgetDrawingResources contrast = objects.Resources();
  contrast.highContrast = theme;
  const RECT bounds{0, 0, 150, 90};
  Canvas canvas(150, 90);
  GdiGadgetFrame frame;
  ASSERT_TRUE(frame.Draw(canvas.dc(), bounds, machine, kPausedText, contrast, cache, 96));
  canvas.Snapshot("high_contrast");

  EXPECT_EQ(canvas.Pixel(140, 60), theme.window);
  EXPECT_EQ(canvas.Pixel(140, 8), theme.buttonFace);
  EXPECT_EQ(canvas.Pixel(140, 80), theme.buttonFace);
  EXPECT_EQ(canvas.Pixel(0, 0), theme.buttonText) << "the outline";
  EXPECT_GT(FindInk(canvas, {1, 18, 149, 72}, theme.windowText).count, 20) << "the typed text";
  EXPECT_GT(FindInk(canvas, {1, 1, 149, 15}, theme.buttonText).count, 20) << "the title";
  EXPECT_GT(FindInk(canvas, {1, 75, 149, 89}, theme.hotLight).count, 20) << "the feed title";
  std::set<COLORREF> own{kLinkBlue, kOutlineGrey, kTextGrey};
  for (int level : kGradient) own.insert(Grey(level));
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 150; ++x) ASSERT_EQ(own.count(canvas.Pixel(x, y)), 0u) << "(" << x << ", " << y << ")";

  Canvas usual(150, 90);
  ASSERT_TRUE(frame.Draw(canvas.dc(), bounds, machine, kPausedText, objects.Resources(), cache, 96));
  ASSERT_TRUE(DrawGadgetToDc(usual.dc(), bounds, machine, kPausedText, objects.Resources(), cache));
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 150; ++x) ASSERT_EQ(canvas.Pixel(x, y), usual.Pixel(x, y)) << "(" << x << ", " << y << ")";
}

// A typing tick repaints only the lines it changed into the kept picture,
// and a screen that got only the area it reported must show exactly a
// whole drawing.
TEST_F(DrawingPixelTest, TypingTicksRepaintOnlyWhatChangedAndMatchAWholeDrawing) {
  Show(Record(u"Ferries to the outer islands run late all week while the harbour crane is repaired; "
              u"the Saturday market moves to the old bakery, jam and all, and the brass band plays at noon."),
       0);
  const RECT bounds{0, 0, 150, 90};
  GdiGadgetFrame frame;
  Canvas screen(150, 90), whole(150, 90);
  ASSERT_TRUE(frame.Draw(screen.dc(), bounds, machine, kPausedText, objects.Resources(), cache, 96));
  int repaintedInPart = 0;
  for (int tick = 0; tick < 400 && !machine.WaitingForNextScreen(); ++tick) {
    if (machine.ScreenFull()) {
      machine.AwakeFeed();  // the hold's end
    } else {
      machine.TypingTick();
    }
    if (tick % 9 == 0) machine.CursorBlink();
    RECT changed;
    if (frame.UpdateTyping(machine, kPausedText, objects.Resources(), cache, &changed)) {
      ++repaintedInPart;
      ASSERT_TRUE(frame.CopyArea(screen.dc(), bounds, changed));
    } else {
      ASSERT_TRUE(frame.Draw(screen.dc(), bounds, machine, kPausedText, objects.Resources(), cache, 96));
    }
    ASSERT_TRUE(DrawGadgetToDc(whole.dc(), bounds, machine, kPausedText, objects.Resources(), cache));
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 150; ++x)
        ASSERT_EQ(screen.Pixel(x, y), whole.Pixel(x, y))
            << "(" << x << ", " << y << ") after tick " << tick << ", " << machine.TypedCount() << " typed";
  }
  EXPECT_TRUE(machine.WaitingForNextScreen());
  EXPECT_GT(repaintedInPart, 150) << "most ticks repaint in part";
}

}  // namespace
}  // namespace quorvane
