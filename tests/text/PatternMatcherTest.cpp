#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PatternTestUtil.h"
#include "ReferenceSearch.h"
#include "text/CaseFolding.h"
#include "text/PatternSearch.h"

namespace quorvane {
namespace {

using test::Find;

TEST(PatternMatcherConstructs, AlternationBindsSingleAtoms) {
  EXPECT_EQ(Find(u"ab|cd", u"abd"), "0 3");
  EXPECT_EQ(Find(u"ab|cd", u"acd"), "0 3");
  EXPECT_EQ(Find(u"ab|cd", u"ab"), "nomatch");
  EXPECT_EQ(Find(u"ab|cd", u"cd"), "nomatch");
  EXPECT_EQ(Find(u"(ab)|(cd)", u"xcd"), "1 3");
  EXPECT_EQ(Find(u"x(a|b)*y", u"xababy"), "0 6");
  EXPECT_EQ(Find(u"x(a|b)*y", u"xabac"), "nomatch");
}

TEST(PatternMatcherConstructs, LiteralsEscapesAndClasses) {
  EXPECT_EQ(Find(u"a]b", u"xab"), "1 2");
  EXPECT_EQ(Find(u"*a", u"*a"), "0 2");
  EXPECT_EQ(Find(u"\\d+", u"ab123c"), "2 5");
  EXPECT_EQ(Find(u"\\t", u"\tt"), "1 2");
  EXPECT_EQ(Find(u"[\\t]", u"t\t"), "1 2");
  EXPECT_EQ(Find(u"[^a-c]", u"abcd"), "3 4");
  EXPECT_EQ(Find(u".", u"\n"), "0 1");
  EXPECT_EQ(Find(u"\\q", u"say \"hi\" now"), "4 8");
  EXPECT_EQ(Find(u"\\q", u"'x'"), "0 3");
  EXPECT_EQ(Find(u"\\q", u"\"open"), "nomatch");
  EXPECT_EQ(Find(u"\\n", u"a\r\nb"), "1 2");  // a lone carriage return first
  EXPECT_EQ(Find(u"a\\n", u"a\nb"), "0 2");
  EXPECT_EQ(Find(u"\\w\\b\\z", u"-- abc 42"), "3 9");
}

TEST(PatternMatcherConstructs, EndOfTextAndStartPositions) {
  EXPECT_EQ(Find(u"a$", u"ba"), "1 2");
  EXPECT_EQ(Find(u"a$b", u"a$b"), "0 3");
  // The end of a non-empty text is never a start position.
  EXPECT_EQ(Find(u"b*$", u"a"), "nomatch");
  EXPECT_EQ(Find(u"b*$", u""), "0 0");
  EXPECT_EQ(Find(u"a", u""), "nomatch");
  EXPECT_EQ(Find(u"", u"xy"), "0 0");
  EXPECT_EQ(Find(u"^ab", u"cab"), "nomatch");
  EXPECT_EQ(Find(u"^ab", u"abab"), "0 2");
  EXPECT_EQ(Find(u"ab", u"cab"), "1 3");
  EXPECT_EQ(Find(u"a\\", u"ba"), "1 2");  // trailing backslash: end of text
}

TEST(PatternMatcherConstructs, GreedyAndLazyOrderOfTrying) {
  EXPECT_EQ(Find(u"a.*b", u"aXbYb"), "0 5");
  EXPECT_EQ(Find(u"a.*?b", u"aXbYb"), "0 3");
  EXPECT_EQ(Find(u"a.*?bc", u"abbc"), "0 4");
  EXPECT_EQ(Find(u"<a>(.*?)</a>", u"<a>x</</a>"), "0 10");
  EXPECT_EQ(Find(u"a??b", u"ab"), "0 2");
  EXPECT_EQ(Find(u"{a??}", u"ab"), "0 0 | 0 0");
  EXPECT_EQ(Find(u"{a+?}", u"aaa"), "0 1 | 0 1");
  EXPECT_EQ(Find(u"{a}+", u"aaa"), "0 3 | 2 3");  // the last repetition's capture
  // Backtracking goes back into an alternation that had already succeeded.
  EXPECT_EQ(Find(u"((a)|(ab))((c)|(bcd))d", u"abcd"), "0 4");
}

TEST(PatternMatcherConstructs, LookAhead) {
  EXPECT_EQ(Find(u"!a.", u"ab"), "1 2");
  EXPECT_EQ(Find(u"x!", u"xy"), "0 1");   // "!" at the end: not at the end of the text
  EXPECT_EQ(Find(u"x!", u"x"), "nomatch");
  EXPECT_EQ(Find(u"(!b.)*c", u"aac"), "0 3");
  EXPECT_EQ(Find(u"(!b.)*c", u"abc"), "2 3");
}

TEST(PatternMatcherCaptures, BackReferencesAndCaptureState) {
  EXPECT_EQ(Find(u"{a}{b}\\1", u"abb"), "0 3 | 0 1 | 1 2");
  EXPECT_EQ(Find(u"{a}{b}\\1", u"aba"), "nomatch");
  EXPECT_EQ(Find(u"{x*}y\\0", u"y"), "0 1 | 0 0");  // a capture with no text matches empty
  EXPECT_EQ(Find(u"{ab}\\0", u"abAB", 0), "0 4 | 0 2");
  EXPECT_EQ(Find(u"{a}\\0", u"a"), "nomatch");  // the text ends before the reference
  // Captures are zeroed once per search, not per start position: a
  // capture set inside a failed look-ahead stays.
  EXPECT_EQ(Find(u"!{a}.", u"ab"), "1 2 | 0 1");
  // Backtracking restores a capture's earlier extent.
  EXPECT_EQ(Find(u"({a}b)|(ac)", u"ac"), "0 2 | 0 0");
}

TEST(PatternMatcherCaptures, CaseInsensitivePositionsAreTheCallersOwn) {
  EXPECT_EQ(Find(u"abc", u"xABC", 0), "1 4");
  EXPECT_EQ(Find(u"ABC", u"aBc", 0), "0 3");
  EXPECT_EQ(Find(u"ABC", u"aBc", 1), "nomatch");
  PatternProgram program;
  ASSERT_EQ(program.CompilePattern(u"{B+}", 0), 0);
  MatchState state;
  const std::u16string text = u"aBbB!";
  ASSERT_TRUE(program.MatchPattern(text.c_str(), &state));
  EXPECT_EQ(state.CaptureText(0), u"BbB");
  EXPECT_EQ(state.subject.data(), text.data());
}

TEST(PatternMatcherInterface, MissingTextStateOrProgram) {
  PatternProgram program;
  ASSERT_EQ(program.CompilePattern(u"a", 1), 0);
  MatchState state;
  EXPECT_FALSE(program.MatchPattern(static_cast<const char16_t*>(nullptr), &state));
  EXPECT_FALSE(program.MatchPattern(u"a", nullptr));
  EXPECT_TRUE(program.MatchPattern(u"a", &state));
  ASSERT_EQ(program.CompilePattern(u"(a", 1), 3);
  EXPECT_FALSE(program.MatchPattern(u"a", &state));
  // A zero-terminated text ends at its terminator; a view may hold zeros.
  ASSERT_EQ(program.CompilePattern(u"b", 1), 0);
  EXPECT_FALSE(program.MatchPattern(u"a\0b", &state));
  EXPECT_TRUE(program.MatchPattern(std::u16string_view(u"a\0b", 3), state));
}

TEST(PatternMatcherBounds, LongTextsGrowTheStack) {
  const std::u16string text = u"<" + std::u16string(200000, u'x') + u">";
  EXPECT_EQ(Find(u"<([^>]|\n)*>", text), "0 200002");
  EXPECT_EQ(Find(u"{a*}$", std::u16string(300000, u'a')), "0 300000 | 0 300000");
}

TEST(PatternMatcherBounds, LoopsThatNeverFinishEndWithoutMatch) {
  // Lazy loops whose body matches empty without being flagged.
  EXPECT_EQ(Find(u"()*?x", u"aaax"), "nomatch");
  EXPECT_EQ(Find(u"(!b)*?c", u"a"), "nomatch");
  EXPECT_EQ(Find(u"!b*?c", u"a"), "nomatch");  // cycles without pushing
  EXPECT_EQ(Find(u"{}+?x", std::u16string(1000, u'a')), "nomatch");
  // They still match when the first try of the rest succeeds.
  EXPECT_EQ(Find(u"()*?x", u"x"), "0 1");
  // Greedy loops over empty bodies stop by themselves.
  EXPECT_EQ(Find(u"(!b)*c", u"c"), "0 1");
  EXPECT_EQ(Find(u"(()|a)*b", u"aab"), "0 3");
}

TEST(PatternMatcherBounds, TheCleanupPatternsRunWithoutStepBudget) {
  for (const char16_t* pattern :
       {u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", u"<a[^>]+href=([^ >]+)[^>]*>(.*?)</a>",
        u"<([^>]|\n)*>", u" +", u"-+", u"( -)+", u",+"}) {
    PatternProgram program;
    ASSERT_EQ(program.CompilePattern(pattern, 1), 0);
    EXPECT_FALSE(program.Hints().boundedWork) << test::Narrow(pattern);
  }
}

// The search skips start positions that cannot begin a match, remembers
// loop heads that failed and runs simple loops in tight code; none of it
// may change a result of the plain instruction-by-instruction reference.
TEST(PatternMatcherShortcuts, SameResultsAsTheReferenceMatcher) {
  const std::vector<std::u16string> patterns = {
      u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", u"<a[^>]+href=([^ >]+)[^>]*>(.*?)</a>",
      u"<([^>]|\n)*>", u" +", u"( -)+", u"{a|b}*c", u"(a+)+b", u"{[ab]*?}b\\0",
      u"^a*b", u"(ab|a)*?c", u"[^a]+$", u"((a|b)+?c)+", u"{(a*)?}b", u"(!a[ab])+",
  };
  const std::u16string alphabet = u"ab c<>/-ahreftl=x";
  std::mt19937 random(7);
  for (int i = 0; i < 3000; ++i) {
    std::u16string text;
    const int length = static_cast<int>(random() % 24);
    for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    if (i % 5 == 0) text = u"<table x><a href=y>" + text + u"</a></table>";
    for (const std::u16string& pattern : patterns) {
      PatternProgram program;
      ASSERT_EQ(program.CompilePattern(pattern.c_str(), 1), 0) << test::Narrow(pattern);
      MatchState fast, reference;
      const bool found = SearchText(program, text, fast, false);
      const fuzz::ReferenceResult expected = fuzz::ReferenceSearch::Run(program, text, reference);
      ASSERT_NE(expected, fuzz::ReferenceResult::TooLong) << test::Narrow(pattern);
      ASSERT_EQ(found, expected == fuzz::ReferenceResult::Match)
          << test::Narrow(pattern) << " on " << test::Narrow(text);
      if (!found) continue;
      ASSERT_EQ(fast.matchStart, reference.matchStart);
      ASSERT_EQ(fast.matchEnd, reference.matchEnd);
      for (size_t c = 0; c < fast.captures.size(); ++c) {
        ASSERT_EQ(fast.captures[c].start, reference.captures[c].start);
        ASSERT_EQ(fast.captures[c].end, reference.captures[c].end);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane
