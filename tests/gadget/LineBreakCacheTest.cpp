#include "gadget/LineBreakCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "FakeCanvas.h"
#include "gadget/TypedTextLayout.h"

namespace quorvane {
namespace {

using testing::FixedWidthMeasurer;
using testing::ProportionalMeasurer;
using testing::RecordingPage;

struct Outcome {
  std::vector<std::string> log;
  std::vector<std::string> runs;
  bool pageFull;
  bool operator==(const Outcome&) const = default;
};

Outcome Draw(TextMeasurer& measurer, std::u16string_view text, int count, const Rect& layout,
             bool cursor, LineBreakCache* cache) {
  RecordingPage page;
  const bool full = LayoutTypedText(page, measurer, text, count, layout, cursor, cache);
  return {page.log, page.runs, full};
}

// Words of random length (some wider than any text area), runs of spaces,
// leading and trailing spaces, and characters of different widths.
std::u16string RandomText(std::mt19937& random) {
  const std::u16string letters = u"aeimnolstwMW.";
  std::u16string text;
  const int words = std::uniform_int_distribution<int>(0, 60)(random);
  if (random() % 5 == 0) text += u"  ";
  for (int w = 0; w < words; ++w) {
    const int length = random() % 12 == 0 ? 20 + random() % 30 : 1 + random() % 9;
    for (int i = 0; i < length; ++i) text += letters[random() % letters.size()];
    const int spaces = random() % 6 == 0 ? 2 + random() % 3 : 1;
    if (w + 1 < words || random() % 3 == 0) text.append(spaces, u' ');
  }
  return text;
}

// Whether a drawn run (cursor aside) is the text's first line, i.e. the
// first page is shown.
bool StartsText(std::u16string_view text, std::string run) {
  if (run.size() >= 2 && run.ends_with("_ ")) run.resize(run.size() - 2);
  const std::string narrow = testing::Narrow(text.substr(std::min(text.find_first_not_of(u' '), text.size())));
  return narrow.starts_with(run);
}

template <typename Measurer>
void ExpectCachedLayoutMatchesUncached(unsigned seed) {
  std::mt19937 random(seed);
  int pageBreaks = 0, holds = 0;
  Measurer measurer;
  LineBreakCache cache;
  std::vector<std::u16string> earlier;
  for (int round = 0; round < 250; ++round) {
    std::u16string text = !earlier.empty() && random() % 4 == 0
                              ? earlier[random() % earlier.size()]
                              : RandomText(random);
    earlier.push_back(text);
    const Rect layout = GadgetGeometry::ForControl(20 + random() % 180, 20 + random() % 120).layout;
    const bool cursor = random() % 2 == 0;
    const int n = static_cast<int>(text.size());
    // Typing order first, then some jumps back and beyond the end.
    std::vector<int> counts;
    for (int count = 0; count <= n + 1; ++count) counts.push_back(count);
    for (int i = 0; i < 10; ++i) counts.push_back(static_cast<int>(random() % (n + 5)));
    for (int count : counts) {
      const Outcome cached = Draw(measurer, text, count, layout, cursor, &cache);
      const Outcome fresh = Draw(measurer, text, count, layout, cursor, nullptr);
      ASSERT_EQ(cached, fresh) << "round " << round << " count " << count << " text '"
                               << testing::Narrow(text) << "' width " << layout.right;
      holds += fresh.pageFull;
      pageBreaks += !fresh.runs.empty() && !StartsText(text, fresh.runs.front());
    }
  }
  // The random texts do reach later pages and the hold.
  EXPECT_GT(pageBreaks, 1000);
  EXPECT_GT(holds, 100);
}

TEST(LineBreakCache, DrawsExactlyWhatTheUncachedLayoutDraws) {
  ExpectCachedLayoutMatchesUncached<FixedWidthMeasurer>(7);
  ExpectCachedLayoutMatchesUncached<ProportionalMeasurer>(11);
}

// A long description that spans many pages of a 200 x 120 control.
std::u16string LongText() {
  std::mt19937 random(3);
  std::u16string text;
  while (text.size() < 3000) text += RandomText(random) + u" ";
  return text;
}

TEST(LineBreakCache, TypingMeasuresEachLineOnceAndIdleRedrawsMeasureNothing) {
  const std::u16string text = LongText();
  const Rect layout = GadgetGeometry::ForControl(200, 120).layout;
  const int n = static_cast<int>(text.size());

  ProportionalMeasurer oneLayout;
  Draw(oneLayout, text, n, layout, true, nullptr);

  ProportionalMeasurer measurer;
  LineBreakCache cache;
  Draw(measurer, text, 0, layout, true, &cache);
  EXPECT_EQ(cache.For(text, layout.Width() - 6, measurer).KnownLines(), 1u);
  for (int count = 1; count <= n; ++count) Draw(measurer, text, count, layout, true, &cache);
  EXPECT_EQ(measurer.calls, oneLayout.calls);

  // Waiting for the next screen: the cursor blinks, nothing is typed.
  measurer.calls = 0;
  for (int i = 0; i < 50; ++i) Draw(measurer, text, n, layout, i % 2 == 0, &cache);
  EXPECT_EQ(measurer.calls, 0);

  // Stepping back and forth between two texts: both stay laid out.
  Draw(measurer, u"< Paused >", n, layout, true, &cache);
  measurer.calls = 0;
  Draw(measurer, text, n, layout, true, &cache);
  Draw(measurer, u"< Paused >", n, layout, true, &cache);
  EXPECT_EQ(measurer.calls, 0);
}

TEST(LineBreakCache, AnotherWidthFontOrTextIsLaidOutAgain) {
  const std::u16string text = u"one two three four five six seven";
  const Rect layout = GadgetGeometry::ForControl(80, 120).layout;
  FixedWidthMeasurer font1(6, 13, 1);
  FixedWidthMeasurer font2(5, 12, 2);
  LineBreakCache cache;
  const int n = static_cast<int>(text.size());

  Draw(font1, text, n, layout, true, &cache);
  font1.calls = 0;
  EXPECT_EQ(Draw(font2, text, n, layout, true, &cache), Draw(font2, text, n, layout, true, nullptr));
  EXPECT_EQ(font1.calls, 0);

  const Rect wider = GadgetGeometry::ForControl(100, 120).layout;
  EXPECT_EQ(Draw(font1, text, n, wider, true, &cache), Draw(font1, text, n, wider, true, nullptr));

  std::u16string same = text;  // same length, other words
  same[3] = u'x';
  same[7] = u'x';
  EXPECT_EQ(Draw(font1, same, n, layout, true, &cache), Draw(font1, same, n, layout, true, nullptr));
}

TEST(LineBreakCache, KeepsTheMostRecentlyUsedEntries) {
  FixedWidthMeasurer measurer;
  LineBreakCache cache(2);
  const Rect layout = GadgetGeometry::ForControl(80, 60).layout;
  Draw(measurer, u"first text", 10, layout, true, &cache);
  Draw(measurer, u"second text", 11, layout, true, &cache);
  Draw(measurer, u"first text", 10, layout, true, &cache);
  Draw(measurer, u"third text", 10, layout, true, &cache);  // drops "second text"

  measurer.calls = 0;
  Draw(measurer, u"first text", 10, layout, true, &cache);
  EXPECT_EQ(measurer.calls, 0);
  Draw(measurer, u"second text", 11, layout, true, &cache);
  EXPECT_GT(measurer.calls, 0);
}

}  // namespace
}  // namespace quorvane
