#include <gtest/gtest.h>

#include <string>

#include "PatternTestUtil.h"
#include "text/PatternReplace.h"

namespace quorvane {
namespace {

using test::Replace;
using test::Replaced;

TEST(PatternReplace, FirstOrEveryMatch) {
  EXPECT_EQ(Replace(u"a  b   c", u" +", u" ", true), (Replaced{0, u"a b c"}));
  EXPECT_EQ(Replace(u"a  b   c", u" +", u" ", false), (Replaced{0, u"a b   c"}));
  // Inserted text is not searched again.
  EXPECT_EQ(Replace(u"aaa", u"a", u"aa", true), (Replaced{0, u"aaaaaa"}));
  EXPECT_EQ(Replace(u"xAbyab", u"ab", u"-", true, false, false), (Replaced{0, u"x-y-"}));
}

TEST(PatternReplace, FailuresLeaveTheTextAlone) {
  EXPECT_EQ(Replace(u"", u"a", u"x", true), (Replaced{3, u""}));
  EXPECT_EQ(Replace(u"bbb", u"a", u"x", true), (Replaced{3, u"bbb"}));
  EXPECT_EQ(Replace(u"a(b", u"(b", u"x", true), (Replaced{2, u"a(b"}));
  std::u16string text = u"abc";
  PatternProgram program;
  EXPECT_EQ(PatternReplace(text, nullptr, u"x", true, false, true, program), 2);
  EXPECT_EQ(program.ErrorCode(), 10);
  EXPECT_EQ(text, u"abc");
  // A search that ends on its stack bound reports no match.
  EXPECT_EQ(Replace(u"aaax", u"()*?x", u"-", true), (Replaced{3, u"aaax"}));
}

TEST(PatternReplace, EachRemainderIsATextOfItsOwn) {
  EXPECT_EQ(Replace(u"aaa", u"^a", u"", true), (Replaced{0, u""}));
  EXPECT_EQ(Replace(u"aab", u"^a", u"-", true), (Replaced{0, u"--b"}));
  EXPECT_EQ(Replace(u"ab", u"^a", u"-", true), (Replaced{0, u"-b"}));
  // The end of the remainder is the end of the text.
  EXPECT_EQ(Replace(u"aba", u"a$", u"-", true), (Replaced{0, u"ab-"}));
}

TEST(PatternReplace, EmptyMatchesEndTheGlobalReplacement) {
  EXPECT_EQ(Replace(u"ab", u"x*", u"-", true), (Replaced{0, u"-a-b-"}));
  EXPECT_EQ(Replace(u"baa", u"a*", u"-", true), (Replaced{0, u"-b--"}));
  EXPECT_EQ(Replace(u"ab", u"^", u"-", true), (Replaced{0, u"-a-b-"}));
  EXPECT_EQ(Replace(u"", u"", u"-", true), (Replaced{0, u"-"}));
  EXPECT_EQ(Replace(u"ab", u"", u"-", false), (Replaced{0, u"-ab"}));
}

TEST(PatternReplace, ExpansionOfCaptures) {
  EXPECT_EQ(Replace(u"xaby", u"{a}{b}", u"$2$1", false, true), (Replaced{0, u"xbay"}));
  EXPECT_EQ(Replace(u"x", u"{x}", u"$10", false, true), (Replaced{0, u"x0"}));
  EXPECT_EQ(Replace(u"ab", u"{a}", u"$0$2<$1>", false, true), (Replaced{0, u"$0$2<a>b"}));
  // Without the expand flag "$1" stays as written.
  EXPECT_EQ(Replace(u"ab", u"{a}", u"$1", false, false), (Replaced{0, u"$1b"}));
  // A captured "$2" is expanded again when k reaches 2.
  EXPECT_EQ(Replace(u"x$2y", u"{x\\$2}{y}", u"$1", false, true), (Replaced{0, u"xy"}));
  // Every match expands with its own captures; the replacement is
  // expanded afresh for each.
  EXPECT_EQ(Replace(u"a1b2c3", u"{\\c}{\\d}", u"$2$1", true, true), (Replaced{0, u"1a2b3c"}));
  // Capture texts come from the caller's string in case-insensitive mode.
  EXPECT_EQ(Replace(u"xAB", u"{a}{B}", u"$2$1", true, true, false), (Replaced{0, u"xBA"}));
}

TEST(PatternReplace, ExpandReplacementResults) {
  PatternProgram program;
  ASSERT_EQ(program.CompilePattern(u"{a}{b}", 1), 0);
  MatchState state;
  ASSERT_TRUE(program.MatchPattern(u"ab", &state));
  PatternProgram scratch;
  std::u16string r = u"[$1|$2|$1]";
  EXPECT_EQ(ExpandReplacement(r, scratch, state), 0);
  EXPECT_EQ(r, u"[a|b|a]");
  r = u"$2 only";
  EXPECT_EQ(ExpandReplacement(r, scratch, state), 0);  // the last call's result
  r = u"$1 only";
  EXPECT_EQ(ExpandReplacement(r, scratch, state), 3);
  ASSERT_EQ(program.CompilePattern(u"ab", 1), 0);
  ASSERT_TRUE(program.MatchPattern(u"ab", &state));
  EXPECT_EQ(ExpandReplacement(r, scratch, state), 3);  // no captures
}

TEST(PatternReplace, TensOfThousandsOfMatches) {
  std::u16string text;
  for (int i = 0; i < 60000; ++i) text += u"<b>x";
  std::u16string expected;
  for (int i = 0; i < 60000; ++i) expected += u" x";
  EXPECT_EQ(Replace(text, u"<([^>]|\n)*>", u" ", true), (Replaced{0, expected}));
  EXPECT_EQ(Replace(std::u16string(100000, u'a'), u"a", u"", true), (Replaced{0, u""}));
  EXPECT_EQ(Replace(std::u16string(50000, u'a'), u"^a", u"b", true),
            (Replaced{0, std::u16string(50000, u'b')}));
}

}  // namespace
}  // namespace quorvane
