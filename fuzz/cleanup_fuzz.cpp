// Cleans arbitrary text and compares with the pipeline built from the
// plain recursive replacement and freshly compiled patterns.
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "FuzzInput.h"
#include "ReferenceReplace.h"
#include "text/CharacterReferences.h"
#include "text/EntityTable.h"
#include "text/HeadlineCleanup.h"
#include "text/WideStringOps.h"

using namespace quorvane;

namespace {

void Step(std::u16string& text, const char16_t* pattern, const char16_t* replacement, bool expand,
          bool caseSensitive = true) {
  fuzz::ReferenceReplace(text, pattern, replacement, true, expand, caseSensitive);
}

// The inline elements' tags as a pattern of the engine's own (compiled
// without case), which the cleanup's scanner must agree with.
constexpr char16_t kInlineTagPattern[] =
    u"</?((a)|(abbr)|(b)|(bdi)|(bdo)|(big)|(cite)|(code)|(data)|(dfn)|(em)|(font)|(i)|(kbd)|"
    u"(mark)|(q)|(s)|(samp)|(small)|(span)|(strike)|(strong)|(sub)|(sup)|(time)|(tt)|(u)|"
    u"(var)|(wbr))(>|([ \t\n\r/][^>]*>))";

std::u16string ReferenceClean(std::u16string text) {
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  Step(text, u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", u" ", true);
  Step(text, kInlineTagPattern, u"", false, false);
  Step(text, u"<([^>]|\n)*>", u" ", false);
  size_t row = 0;
  for (; row < kRowsBeforeReferences; ++row) {
    ReplaceLiteral(text, kEntityRows[row].search, kEntityRows[row].insert);
  }
  DecodeCharacterReferences(text);
  for (; row < std::size(kEntityRows); ++row) {
    ReplaceLiteral(text, kEntityRows[row].search, kEntityRows[row].insert);
  }
  Step(text, u" +", u" ", true);
  Step(text, u"-+", u"-", true);
  Step(text, u"( -)+", u" -", true);
  Step(text, u",+", u",", true);
  StripTrailing(text, u" -");
  StripLeading(text, u" -");
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = fuzz::Widen(data, size);
  std::u16string cleaned = input;
  CleanHeadlineText(cleaned);
  try {
    if (ReferenceClean(input) != cleaned) {
      std::fprintf(stderr, "cleanup differs from the reference pipeline\n");
      std::abort();
    }
  } catch (const fuzz::TooDeep&) {
  }
  return 0;
}
