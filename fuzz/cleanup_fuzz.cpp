// Cleans arbitrary text and compares with the pipeline built from the
// plain recursive replacement and freshly compiled patterns.
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReferenceReplace.h"
#include "text/EntityTable.h"
#include "text/HeadlineCleanup.h"
#include "text/WideStringOps.h"

using namespace quorvane;

namespace {

void Step(std::u16string& text, const char16_t* pattern, const char16_t* replacement, bool expand) {
  fuzz::ReferenceReplace(text, pattern, replacement, true, expand, true);
}

std::u16string ReferenceClean(std::u16string text) {
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  Step(text, u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", u" ", true);
  Step(text, u"<a[^>]+href=([^ >]+)[^>]*>(.*?)</a>", u" ", true);
  Step(text, u"<([^>]|\n)*>", u" ", false);
  for (const EntityRow& row : kEntityRows) ReplaceLiteral(text, row.search, row.insert);
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
