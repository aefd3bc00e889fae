#include <gtest/gtest.h>

#include <string>

#include "PatternTestUtil.h"
#include "text/PatternProgram.h"

namespace quorvane {
namespace {

using test::CompileError;
using test::Listing;

TEST(PatternCompiler, NewProgramIsEmptyAndRecompilingDiscardsTheOldOne) {
  PatternProgram program;
  EXPECT_EQ(program.ErrorCode(), 0);
  EXPECT_EQ(program.CaseSensitive(), 1);
  EXPECT_TRUE(program.Instructions().empty());

  ASSERT_EQ(program.CompilePattern(u"{a}(!b)*", 0), 0);
  EXPECT_EQ(program.CaptureCount(), 1u);
  EXPECT_EQ(program.SlotCount(), 3u);
  EXPECT_EQ(program.CaseSensitive(), 0);
  ASSERT_EQ(program.CompilePattern(u"c", 1), 0);
  EXPECT_EQ(program.CaptureCount(), 0u);
  EXPECT_EQ(program.SlotCount(), 0u);
  EXPECT_EQ(program.CaseSensitive(), 1);
  EXPECT_EQ(program.Instructions().size(), 4u);
}

// Whole pattern, literals, "$" and "^".
TEST(PatternCompilerForms, WholePatternAndLiterals) {
  EXPECT_EQ(Listing(u""), "Branch 2; NextStart 0; Accept 0");
  EXPECT_EQ(Listing(u"^a."), "Branch 2; StopSearch 0; MatchChar 97; MatchAnyChar 0; Accept 0");
  EXPECT_EQ(Listing(u"a$"), "Branch 2; NextStart 0; MatchChar 97; MatchChar 0; Accept 0");
  // "$" anywhere but last, "^" after the first position, and quantifier
  // characters with no atom before them are literals.
  EXPECT_EQ(Listing(u"$a^"), "Branch 2; NextStart 0; MatchChar 36; MatchChar 97; MatchChar 94; Accept 0");
  EXPECT_EQ(Listing(u"*a"), "Branch 2; NextStart 0; MatchChar 42; MatchChar 97; Accept 0");
  EXPECT_EQ(Listing(u"?+"), Listing(u"\\?+"));
  // "*+?" is a lazy "+" of a star; the bar then has no right side.
  EXPECT_EQ(Listing(u"*+?|"), "Branch 2; NextStart 0; Accept 0");
}

TEST(PatternCompilerForms, GroupCaptureAndClass) {
  EXPECT_EQ(Listing(u"(ab)"), "Branch 2; NextStart 0; Branch 4; Fail 0; MatchChar 97; MatchChar 98; Accept 0");
  EXPECT_EQ(Listing(u"()"), "Branch 2; NextStart 0; Branch 4; Fail 0; NoOp 0; Accept 0");
  EXPECT_EQ(Listing(u"{a}{}"),
            "Branch 2; NextStart 0; SaveCapture 0; MarkCaptureStart 0; Branch 7; RestoreCapture 0; "
            "Fail 0; MatchChar 97; MarkCaptureEnd 0; SaveCapture 1; MarkCaptureStart 1; Branch 14; "
            "RestoreCapture 1; Fail 0; NoOp 0; MarkCaptureEnd 1; Accept 0");
  EXPECT_EQ(Listing(u"[^a-c\\]x]"),
            "Branch 2; NextStart 0; MatchNotInRanges 9; NoOp 97; NoOp 99; NoOp 93; NoOp 93; "
            "NoOp 120; NoOp 120; Accept 0");
  // "\t" is a tab inside a class; "-" where a member begins is a member.
  EXPECT_EQ(Listing(u"[\\t-]"), "error 4");
  EXPECT_EQ(Listing(u"[-\\t]"), "Branch 2; NextStart 0; MatchInRanges 7; NoOp 45; NoOp 45; NoOp 9; NoOp 9; Accept 0");
  // The upper bound is taken as written, with no escape.
  EXPECT_EQ(Listing(u"[!-\\]"), "Branch 2; NextStart 0; MatchInRanges 5; NoOp 33; NoOp 92; Accept 0");
}

TEST(PatternCompilerForms, AlternationSeparatesSingleAtoms) {
  EXPECT_EQ(Listing(u"ab|cd"),
            "Branch 2; NextStart 0; MatchChar 97; SavePosition 0; Branch 7; RestorePosition 0; "
            "Jump 9; MatchChar 98; Jump 10; MatchChar 99; MatchChar 100; Accept 0");
  EXPECT_EQ(Listing(u"a|b|c"),
            "Branch 2; NextStart 0; SavePosition 0; Branch 6; RestorePosition 0; Jump 8; "
            "MatchChar 97; Jump 15; SavePosition 0; Branch 12; RestorePosition 0; Jump 14; "
            "MatchChar 98; Jump 15; MatchChar 99; Accept 0");
  // A bar after a bar is a literal bar.
  EXPECT_EQ(Listing(u"a||"), "Branch 2; NextStart 0; SavePosition 0; Branch 6; RestorePosition 0; "
                             "Jump 8; MatchChar 97; Jump 9; MatchChar 124; Accept 0");
}

TEST(PatternCompilerForms, GreedyQuantifiers) {
  EXPECT_EQ(Listing(u"a*"),
            "Branch 2; NextStart 0; SaveSlot 0; StorePositionInSlot 0; SavePosition 0; Branch 9; "
            "RestorePosition 0; RestoreSlot 0; Jump 13; MatchChar 97; FailIfNoProgress 0; "
            "StorePositionInSlot 0; Jump 2; Accept 0");
  EXPECT_EQ(Listing(u"a?"),
            "Branch 2; NextStart 0; SaveSlot 0; StorePositionInSlot 0; SavePosition 0; Branch 9; "
            "RestorePosition 0; RestoreSlot 0; Jump 12; MatchChar 97; FailIfNoProgress 0; "
            "StorePositionInSlot 0; Accept 0");
  // "+": the first copy stays, the loop holds a second copy whose captures
  // keep their numbers.
  EXPECT_EQ(Listing(u"{a}+"),
            "Branch 2; NextStart 0; SaveCapture 0; MarkCaptureStart 0; Branch 7; RestoreCapture 0; "
            "Fail 0; MatchChar 97; MarkCaptureEnd 0; SaveSlot 0; StorePositionInSlot 0; "
            "SavePosition 0; Branch 16; RestorePosition 0; RestoreSlot 0; Jump 26; SaveCapture 0; "
            "MarkCaptureStart 0; Branch 21; RestoreCapture 0; Fail 0; MatchChar 97; "
            "MarkCaptureEnd 0; FailIfNoProgress 0; StorePositionInSlot 0; Jump 9; Accept 0");
}

TEST(PatternCompilerForms, SlotNumbersFollowTheFinalForm) {
  // "*" discards its measuring compilation: the loop's slot comes first.
  PatternProgram program;
  ASSERT_EQ(program.CompilePattern(u"(!a)*", 1), 0);
  EXPECT_EQ(program.SlotCount(), 3u);
  EXPECT_EQ(program.Instructions()[2], (PatternInstruction{PatternKind::SaveSlot, 0}));
  EXPECT_EQ(program.Instructions()[11], (PatternInstruction{PatternKind::StorePositionInSlot, 1}));
  EXPECT_EQ(program.Instructions()[12], (PatternInstruction{PatternKind::StoreStackDepthInSlot, 2}));
  // "+": first copy's slots, then the loop's, then the second copy's.
  ASSERT_EQ(program.CompilePattern(u"(ab*)+", 1), 0);
  EXPECT_EQ(program.SlotCount(), 3u);
  EXPECT_EQ(program.Instructions()[5], (PatternInstruction{PatternKind::SaveSlot, 0}));
  EXPECT_EQ(program.Instructions()[16], (PatternInstruction{PatternKind::SaveSlot, 1}));
  EXPECT_EQ(program.Instructions()[26], (PatternInstruction{PatternKind::SaveSlot, 2}));
  EXPECT_EQ(program.Instructions()[39], (PatternInstruction{PatternKind::Jump, 16}));
}

TEST(PatternCompilerForms, LazyQuantifiersAndLookAhead) {
  EXPECT_EQ(Listing(u"a*?"), "Branch 2; NextStart 0; SavePosition 0; Branch 7; RestorePosition 0; MatchChar 97; Jump 2; Accept 0");
  EXPECT_EQ(Listing(u"a??"), "Branch 2; NextStart 0; SavePosition 0; Branch 6; RestorePosition 0; MatchChar 97; Accept 0");
  EXPECT_EQ(Listing(u"a+?"),
            "Branch 2; NextStart 0; MatchChar 97; SavePosition 0; Branch 8; RestorePosition 0; "
            "MatchChar 97; Jump 3; Accept 0");
  // A second quantifier character is an atom of its own.
  EXPECT_EQ(Listing(u"a*??"), "Branch 2; NextStart 0; SavePosition 0; Branch 7; RestorePosition 0; "
                              "MatchChar 97; Jump 2; MatchChar 63; Accept 0");
  EXPECT_EQ(Listing(u"!a"),
            "Branch 2; NextStart 0; StorePositionInSlot 0; StoreStackDepthInSlot 1; Branch 8; "
            "LoadPositionFromSlot 0; LoadStackDepthFromSlot 1; Jump 12; MatchChar 97; "
            "LoadPositionFromSlot 0; LoadStackDepthFromSlot 1; Fail 0; Accept 0");
}

TEST(PatternCompilerForms, EscapesAndAbbreviations) {
  EXPECT_EQ(Listing(u"\\d"), "Branch 2; NextStart 0; Branch 4; Fail 0; MatchInRanges 7; NoOp 48; NoOp 57; Accept 0");
  EXPECT_EQ(Listing(u"\\t\\.\\\\\\x"),
            "Branch 2; NextStart 0; MatchChar 116; MatchChar 46; MatchChar 92; MatchChar 120; Accept 0");
  EXPECT_EQ(Listing(u"{a}\\0"), Listing(u"{a}") .substr(0, Listing(u"{a}").size() - 10) +
                                    "; MatchBackReference 0; Accept 0");
  // A trailing backslash is the end of the text.
  EXPECT_EQ(Listing(u"a\\"), "Branch 2; NextStart 0; MatchChar 97; MatchChar 0; Accept 0");
  // Abbreviations are used as they stand, also when the pattern is folded.
  EXPECT_EQ(Listing(u"\\D", 0), Listing(u"\\d"));
  EXPECT_EQ(Listing(u"[A-Z]X", 0), Listing(u"[a-z]x"));
  const std::string q = Listing(u"\\q");
  EXPECT_NE(q.find("MatchNotInRanges"), std::string::npos);
  EXPECT_EQ(q, Listing(u"(\"[^\"]*\")|('[^']*')"));
}

TEST(PatternCompilerSyntax, StrayClosersEndThePattern) {
  EXPECT_EQ(Listing(u"a]b"), Listing(u"a"));
  EXPECT_EQ(Listing(u"a)b"), Listing(u"a"));
  EXPECT_EQ(Listing(u"a}b"), Listing(u"a"));
  EXPECT_EQ(CompileError(u"(a]b)"), 3);
  EXPECT_EQ(CompileError(u"{a)b}"), 2);
}

TEST(PatternCompilerSyntax, AlternationWithoutRightSideIsDropped) {
  EXPECT_EQ(Listing(u"xa|"), Listing(u"x"));
  EXPECT_EQ(Listing(u"(xa|)y"), Listing(u"(x)y"));
  EXPECT_EQ(Listing(u"xa|b|"), Listing(u"x"));
  PatternProgram program;
  ASSERT_EQ(program.CompilePattern(u"x{a}|", 1), 0);
  EXPECT_EQ(program.CaptureCount(), 0u);
}

TEST(PatternCompilerErrors, EveryCode) {
  EXPECT_EQ(CompileError(u"{a"), 2);
  EXPECT_EQ(CompileError(u"(a"), 3);
  EXPECT_EQ(CompileError(u"[abc"), 4);
  EXPECT_EQ(CompileError(u"[a-"), 4);
  EXPECT_EQ(CompileError(u"[a-]"), 4);
  EXPECT_EQ(CompileError(u"[a\\"), 4);
  EXPECT_EQ(CompileError(u"[]"), 6);
  EXPECT_EQ(CompileError(u"[^]"), 6);
  EXPECT_EQ(CompileError(u"\\0{a}"), 7);
  EXPECT_EQ(CompileError(u"{a}\\1"), 7);
  EXPECT_EQ(CompileError(u"{\\0}"), 0);  // opened, though not closed yet
  EXPECT_EQ(CompileError(u"[z-a]"), 8);
  EXPECT_EQ(CompileError(u"x(a*)*"), 9);
  EXPECT_EQ(CompileError(u"x(a*)?"), 0);
  EXPECT_EQ(CompileError(u"(a+?)*"), 9);
  EXPECT_EQ(CompileError(u"(a+)*"), 0);
  EXPECT_EQ(CompileError(u"(a?b?)+"), 9);
  EXPECT_EQ(CompileError(u"(a?b)+"), 0);
  EXPECT_EQ(CompileError(u"(a|b*)*?"), 9);
  EXPECT_EQ(CompileError(u"(!a)*"), 0);  // the flag of "!" is its operand's
  EXPECT_EQ(CompileError(u"()*"), 0);    // an empty body counts as not empty
  PatternProgram program;
  EXPECT_EQ(program.CompilePattern(nullptr, 1), 10);
  EXPECT_EQ(program.ErrorCode(), 10);
  EXPECT_EQ(program.CompilePattern(u"[", 1), 4);
  EXPECT_TRUE(program.Instructions().empty());
}

TEST(PatternCompilerErrors, HostilePatternsFailWithCodeOne) {
  // Nested "+" doubles the program at every level.
  std::u16string nested = u"a";
  for (int i = 0; i < 24; ++i) nested = u"(" + nested + u"+)";
  EXPECT_EQ(CompileError(nested.c_str()), 1);
  // Deep nesting would exhaust the call stack.
  std::u16string deep = std::u16string(100000, u'(') + u"a" + std::u16string(100000, u')');
  EXPECT_EQ(CompileError(deep.c_str()), 1);
  std::u16string looks(100000, u'!');
  EXPECT_EQ(CompileError(looks.c_str()), 1);
  // Long flat patterns and long alternation chains are fine.
  std::u16string chain;
  for (int i = 0; i < 5000; ++i) chain += u"a|";
  chain += u"b";
  EXPECT_EQ(CompileError(chain.c_str()), 0);
  std::u16string optionals = u"a";
  for (int i = 0; i < 150; ++i) optionals = u"(" + optionals + u"?)";
  EXPECT_EQ(CompileError(optionals.c_str()), 0);
}

}  // namespace
}  // namespace quorvane
