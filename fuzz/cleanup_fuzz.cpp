// Cleans arbitrary text and compares with the pipeline built from the
// plain recursive replacement and freshly compiled patterns.
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReferenceReplace.h"
#include "text/HeadlineCleanup.h"
#include "text/WideStringOps.h"

using namespace quorvane;

namespace {

const char16_t* const kRows[][2] = {
    {u"&amp;quot;", u"\""}, {u"&amp;apos;", u"'"}, {u"&rdquo;", u"\""}, {u"&ldquo;", u"\""},
    {u"&bdquo;", u"\""},    {u"&ndash;", u"-"},    {u"&mdash;", u"-"},  {u"&tilde;", u"~"},
    {u"&rdquo", u"\""},     {u"&ldquo", u"\""},    {u"&bdquo", u"\""},  {u"&ndash", u"-"},
    {u"&mdash", u"-"},      {u"&tilde", u"~"},     {u"&nbsp;", u" "},   {u"&#160;", u" "},
    {u"&#xA0;", u" "},      {u"&quot;", u"\""},    {u"&#34;", u"\""},   {u"&#x22;", u"\""},
    {u"&amp;", u"&"},       {u"&#38;", u"&"},      {u"&#x26;", u"&"},   {u"&apos;", u"'"},
    {u"&#39;", u"'"},       {u"&#x27;", u"'"},     {u"&lt;", u"<"},     {u"&#60;", u"<"},
    {u"&#x3c;", u"<"},      {u"&gt;", u">"},       {u"&#62;", u">"},    {u"&#x3e;", u">"},
    {u"|", u","},           {u"&#8220;", u"\""},   {u"&#8221;", u"\""}, {u"&#8249;", u"<"},
    {u"&#8250;", u">"},     {u"&#732;", u"~"},     {u"\r", u" "},       {u"&#13;", u" "},
    {u"&#x0D;", u" "},      {u"\n", u" "},         {u"\b", u" "},       {u"\t", u" "},
    {u"&#09;", u" "},       {u"&#x09;", u" "},
};

void Step(std::u16string& text, const char16_t* pattern, const char16_t* replacement, bool expand) {
  fuzz::ReferenceReplace(text, pattern, replacement, true, expand, true);
}

std::u16string ReferenceClean(std::u16string text) {
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  Step(text, u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", u" ", true);
  Step(text, u"<a[^>]+href=([^ >]+)[^>]*>(.*?)</a>", u" ", true);
  Step(text, u"<([^>]|\n)*>", u" ", false);
  for (const auto& row : kRows) ReplaceLiteral(text, row[0], row[1]);
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
