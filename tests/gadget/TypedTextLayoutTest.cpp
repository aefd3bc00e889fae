#include "gadget/TypedTextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeCanvas.h"

namespace quorvane {
namespace {

using Log = std::vector<std::string>;
using testing::FixedWidthMeasurer;
using testing::ProportionalMeasurer;
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

// The counts of typed characters at which an 80-wide page of `height` is
// full and the typing holds.
std::vector<int> Holds(std::u16string_view text, int height) {
  std::vector<int> holds;
  for (int count = 0; count <= static_cast<int>(text.size()); ++count)
    if (Layout(text, count, 80, height).pageFull) holds.push_back(count);
  return holds;
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

TEST(TypedTextLayout, WordsWithoutRoomAreBrokenAndNothingIsDropped) {
  // An over-long first word is broken after its 12th character, and the
  // words after it follow.
  const std::u16string text = u"abcdefghijklmnop rest of it";
  EXPECT_EQ(Runs(Layout(text, static_cast<int>(text.size()), 80, 100)),
            (Log{"run 3,18 'abcdefghijkl'", "run 3,31 'mnop rest of '", "run 3,44 'it_ '"}));
  EXPECT_EQ(Runs(Layout(text, 14, 80, 100)), (Log{"run 3,18 'abcdefghijkl'", "run 3,31 'mn_ '"}));
  // A lone word, and a final word on a line of its own.
  EXPECT_EQ(Runs(Layout(u"abcdefghijklmnopq", 17, 80, 100)),
            (Log{"run 3,18 'abcdefghijkl'", "run 3,31 'mnopq_ '"}));
  EXPECT_EQ(Runs(Layout(u"aa bb cc dddddddddddddddd", 25, 80, 100)),
            (Log{"run 3,18 'aa bb cc '", "run 3,31 'dddddddddddd'", "run 3,44 'dddd_ '"}));
  // A final word that does not fit beside a one-word line goes below it,
  // trailing space and all.
  EXPECT_EQ(Runs(Layout(u"abcdefghij klmnopqrstuv", 23, 80, 100)),
            (Log{"run 3,18 'abcdefghij '", "run 3,31 'klmnopqrstuv_ '"}));
  EXPECT_EQ(Runs(Layout(u"abcdefghij k ", 13, 80, 100)),
            (Log{"run 3,18 'abcdefghij '", "run 3,31 'k _ '"}));
  EXPECT_EQ(Runs(Layout(u"abcdefghi k ", 12, 80, 100)), (Log{"run 3,18 'abcdefghi k _ '"}));
}

// The lines BreakLine gives for the whole text, as [start, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> Lines(std::u16string_view text, TextMeasurer& measurer,
                                                       int width = 74) {
  std::vector<std::pair<std::size_t, std::size_t>> lines;
  for (std::size_t from = 0;;) {
    const TextLine line = BreakLine(text, from, width, measurer);
    lines.emplace_back(line.start, line.end);
    if (line.last || lines.size() > text.size() + 1) return lines;
    from = line.end;
  }
}

TEST(LineBreaker, WordsAreBrokenBetweenWholeCharactersOnly) {
  using Span = std::vector<std::pair<std::size_t, std::size_t>>;
  FixedWidthMeasurer measurer;  // 12 UTF-16 units fit
  // Chinese has no spaces at all.
  const std::u16string chinese(30, u'\u4e2d');
  EXPECT_EQ(Lines(chinese, measurer), (Span{{0, 12}, {12, 24}, {24, 30}}));
  // The 12th unit would be the first half of a pair.
  EXPECT_EQ(Lines(u"a\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600", measurer),
            (Span{{0, 11}, {11, 13}}));
  // The 12th unit would leave a combining acute accent to start a line.
  EXPECT_EQ(Lines(u"abcdefghijke\u0301xyz", measurer), (Span{{0, 11}, {11, 16}}));
  // A family emoji joined by zero width joiners, and a skin-tone modifier.
  const std::u16string family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";
  EXPECT_EQ(Lines(u"abcdefg" + family, measurer), (Span{{0, 7}, {7, 15}}));
  EXPECT_EQ(Lines(u"abcdefghij\U0001F44D\U0001F3FD", measurer), (Span{{0, 10}, {10, 14}}));
  // A character wider than the area on its own still gets a line.
  EXPECT_EQ(Lines(u"abc", measurer, 4), (Span{{0, 1}, {1, 2}, {2, 3}}));
}

TEST(LineBreaker, EveryCharacterOfALongWordIsOnALineThatFits) {
  ProportionalMeasurer measurer;
  std::u16string word;
  for (int i = 0; i < 300; ++i) word += static_cast<char16_t>(u'a' + i % 26);
  for (const std::u16string& text : {word, u"see " + word + u" and more", u"x " + word}) {
    std::u16string shown;
    for (const auto& [start, end] : Lines(text, measurer)) {
      const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
      EXPECT_LT(ProportionalMeasurer().Measure(line).width, 74) << testing::Narrow(line);
      shown += line;
    }
    std::erase(shown, u' ');
    std::u16string expected = text;
    std::erase(expected, u' ');
    EXPECT_EQ(shown, expected);
  }
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
  EXPECT_EQ(Holds(kFourLines, 74), (std::vector<int>{23, 46}));

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
  EXPECT_EQ(Holds(kFourLines, 75), (std::vector<int>{23, 35}));
  EXPECT_EQ(Runs(Layout(kFourLines, 30, 80, 75)),
            (Log{"run 3,18 'aaaaa bbbbb '", "run 3,31 'ccccc ddddd '", "run 3,44 'eeeee _ '"}));
}

TEST(TypedTextLayout, HoldsFollowTheBrokenLinesAndNeverSplitAPair) {
  // 74 high: two lines a page. Thirty ideographs make lines of 12, 12, 6.
  const std::u16string chinese(30, u'\u4e2d');
  EXPECT_EQ(Holds(chinese, 74), (std::vector<int>{23}));
  EXPECT_EQ(Runs(Layout(chinese, 25, 80, 74)), (Log{"run 3,18 '?_ '"}));

  // Lines of 11, 12 and 8 units, each ending in a pair: the first page
  // holds before its last pair, not between its halves.
  std::u16string pairs = u"a";
  for (int i = 0; i < 15; ++i) pairs += u"\U0001F600";
  EXPECT_EQ(Holds(pairs, 74), (std::vector<int>{21}));
}

TEST(TypedTextLayout, CountBeyondTheTextShowsItAllWithTheCursor) {
  // A count past the end of the text is clamped to it.
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
