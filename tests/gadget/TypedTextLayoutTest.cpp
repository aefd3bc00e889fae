#include "gadget/TypedTextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeCanvas.h"

namespace quorvane {
namespace {

using Log = std::vector<std::string>;
using testing::FixedWidthMeasurer;
using testing::RecordingPage;

// Characters are 6 pixels wide and lines 13 high. A control 80 wide has a
// text area of 74 pixels: 12 characters fit, 13 do not.
struct Drawn {
  RecordingPage page;
  bool pageFull = false;
};

Drawn Layout(std::u16string_view text, int count, int width = 80, int height = 60,
             bool cursor = true) {
  Drawn drawn;
  FixedWidthMeasurer measurer;
  drawn.pageFull = LayoutTypedText(drawn.page, measurer, text, count,
                                   GadgetGeometry::ForControl(width, height).layout, cursor);
  return drawn;
}

// The text runs only, without the page set-up.
Log Runs(const Drawn& drawn) {
  Log runs;
  for (const std::string& entry : drawn.page.log)
    if (entry.rfind("run ", 0) == 0) runs.push_back(entry);
  return runs;
}

TEST(TypedTextLayout, PageSetUpAndBarBackgroundsFollowTheHeight) {
  EXPECT_EQ(Layout(u"", 0, 80, 60).page.log,
            (Log{"clear 80x60", "title bar 0,0,80,16", "link bar 0,44,80,60", "run 3,18 '_ '",
                 "copy 80x60"}));
  EXPECT_EQ(Layout(u"", 0, 120, 40).page.log,
            (Log{"clear 120x40", "title bar 0,0,120,16", "run 3,18 '_ '", "copy 120x40"}));
  // Narrower than 80 is laid out 80 wide; too low for any bar.
  EXPECT_EQ(Layout(u"", 0, 50, 30).page.log, (Log{"clear 80x30", "run 3,18 '_ '", "copy 80x30"}));
}

TEST(TypedTextLayout, TextThatFitsIsOneLineWithTheCursorRule) {
  EXPECT_EQ(Runs(Layout(u"hello world", 11)), (Log{"run 3,18 'hello world_ '"}));
  EXPECT_EQ(Runs(Layout(u"hello world", 11, 80, 60, false)), (Log{"run 3,18 'hello world'"}));
  EXPECT_EQ(Runs(Layout(u"hello world", 4)), (Log{"run 3,18 'hell_ '"}));
  EXPECT_EQ(Runs(Layout(u"hello world", 0)), (Log{"run 3,18 '_ '"}));
  EXPECT_TRUE(Runs(Layout(u"hello world", 0, 80, 60, false)).empty());
}

TEST(TypedTextLayout, OverLongFirstWordIsDrawnWholeAndNothingAfter) {
  const std::u16string text = u"abcdefghijklmnop rest of it";
  EXPECT_EQ(Runs(Layout(text, static_cast<int>(text.size()))),
            (Log{"run 3,18 'abcdefghijklmnop _ '"}));
  EXPECT_EQ(Runs(Layout(text, 5)), (Log{"run 3,18 'abcde_ '"}));
}

TEST(TypedTextLayout, OverLongLoneWordShowsOnlyTheCursor) {
  EXPECT_EQ(Runs(Layout(u"abcdefghijklmnopq", 0)), (Log{"run 3,18 '_ '"}));
  EXPECT_EQ(Runs(Layout(u"abcdefghijklmnopq", 17)), (Log{"run 3,18 '_ '"}));
  // A final word on a line of its own, too wide for the area.
  EXPECT_EQ(Runs(Layout(u"aa bb cc dddddddddddddddd", 25, 80, 80)),
            (Log{"run 3,18 'aa bb cc '", "run 3,31 '_ '"}));
}

TEST(TypedTextLayout, FinalWordThatDoesNotFitBesideASingleWordIsNotShown) {
  EXPECT_EQ(Runs(Layout(u"abcdefghij klmnopqrstuv", 23, 80, 80)),
            (Log{"run 3,18 'abcdefghij _ '"}));
  // With a trailing space the whole rest is measured the same way.
  EXPECT_EQ(Runs(Layout(u"abcdefghij klmnopq ", 19, 80, 80)), (Log{"run 3,18 'abcdefghij _ '"}));
  // The final word is measured with the trailing space.
  EXPECT_EQ(Runs(Layout(u"abcdefghij k ", 13, 80, 80)), (Log{"run 3,18 'abcdefghij _ '"}));
  EXPECT_EQ(Runs(Layout(u"abcdefghi k ", 12, 80, 80)), (Log{"run 3,18 'abcdefghi k _ '"}));
}

TEST(TypedTextLayout, TypedPositionInSkippedSpacesShowsTheCursorAtTheLineStart) {
  // The first line keeps two of the three spaces (the prefix up to the third
  // is still narrower than the area); the next line starts after the last.
  const std::u16string text = u"aaaaa bbbbb   ccccc";
  EXPECT_EQ(Runs(Layout(text, 13, 80, 80)), (Log{"run 3,18 'aaaaa bbbbb  '", "run 3,31 '_ '"}));
  EXPECT_EQ(Runs(Layout(text, 13, 80, 80, false)), (Log{"run 3,18 'aaaaa bbbbb  '"}));
}

// Four lines of 12, 12, 12 and 11 characters.
constexpr std::u16string_view kFourLines = u"aaaaa bbbbb ccccc ddddd eeeee fffff ggggg hhhhh";

TEST(TypedTextLayout, FullPageHoldsExactlyAtTheLastCharacterOfItsLastLine) {
  // 74 high: the text area holds two lines per page.
  std::vector<int> holds;
  for (int count = 0; count <= static_cast<int>(kFourLines.size()); ++count)
    if (Layout(kFourLines, count, 80, 74).pageFull) holds.push_back(count);
  EXPECT_EQ(holds, (std::vector<int>{23, 46}));

  EXPECT_EQ(Runs(Layout(kFourLines, 23, 80, 74)),
            (Log{"run 3,18 'aaaaa bbbbb '", "run 3,31 'ccccc ddddd_ '"}));
}

TEST(TypedTextLayout, TypingOnAfterTheHoldStartsAFreshPage) {
  const Drawn drawn = Layout(kFourLines, 24, 80, 74);
  EXPECT_EQ(drawn.page.log, (Log{"clear 80x74", "title bar 0,0,80,16", "link bar 0,58,80,74",
                                 "run 3,18 '_ '", "copy 80x74"}));
  EXPECT_FALSE(drawn.pageFull);
  EXPECT_EQ(Runs(Layout(kFourLines, 40, 80, 74)),
            (Log{"run 3,18 'eeeee fffff '", "run 3,31 'gggg_ '"}));
}

TEST(TypedTextLayout, LineEndingExactlyAtTheBottomFitsButHolds) {
  // 75 high: a third line ends exactly at the bottom of the text area. It is
  // drawn on the same page, and the hold comes already at the end of line 2.
  std::vector<int> holds;
  for (int count = 0; count <= static_cast<int>(kFourLines.size()); ++count)
    if (Layout(kFourLines, count, 80, 75).pageFull) holds.push_back(count);
  EXPECT_EQ(holds, (std::vector<int>{23, 35}));
  EXPECT_EQ(Runs(Layout(kFourLines, 30, 80, 75)),
            (Log{"run 3,18 'aaaaa bbbbb '", "run 3,31 'ccccc ddddd '", "run 3,44 'eeeee _ '"}));
}

TEST(TypedTextLayout, CountBeyondTheTextShowsItAllWithTheCursor) {
  // While paused the count runs against the description, not the shorter
  // text on screen.
  EXPECT_EQ(Runs(Layout(u"< Paused >", 500)), (Log{"run 3,18 '< Paused >_ '"}));
  EXPECT_EQ(Runs(Layout(u"< Paused >", 3)), (Log{"run 3,18 '< P_ '"}));
}

TEST(DrawTypedLine, NegativeOrOversizedLengthsAreClamped) {
  RecordingPage page;
  DrawTypedLine(page, 3, 18, u"abcdef", 2, -4, true);
  DrawTypedLine(page, 3, 18, u"abcdef", 2, 3, false);
  DrawTypedLine(page, 3, 18, u"abcdef", 2, 99, true);
  DrawTypedLine(page, 3, 18, u"abcdef", 2, -1, false);
  EXPECT_EQ(page.runs, (Log{"_ ", "cde", "cdef_ "}));
}

}  // namespace
}  // namespace quorvane
