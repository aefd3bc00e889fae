#include "text/HeadlineCleanup.h"

#include <iterator>
#include <string_view>

#include "text/PatternProgram.h"
#include "text/PatternReplace.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

struct LiteralRow {
  std::u16string_view search;
  std::u16string_view insert;
};

// Applied top to bottom, each over the whole text: the order matters
// ("&amp;lt;" decodes twice, "&amp;nbsp;" only once).
constexpr LiteralRow kEntityRows[] = {
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
static_assert(std::size(kEntityRows) == 46);

// The fixed patterns, compiled once and shared read-only between threads
// (a search never changes its program).
struct CleanupPrograms {
  PatternProgram tables, anchors, tags, spaces, hyphens, spacedHyphens, commas;

  CleanupPrograms() {
    tables.CompilePattern(u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", 1);
    anchors.CompilePattern(u"<a[^>]+href=([^ >]+)[^>]*>(.*?)</a>", 1);
    tags.CompilePattern(u"<([^>]|\n)*>", 1);
    spaces.CompilePattern(u" +", 1);
    hyphens.CompilePattern(u"-+", 1);
    spacedHyphens.CompilePattern(u"( -)+", 1);
    commas.CompilePattern(u",+", 1);
  }
};

const CleanupPrograms& Programs() {
  static const CleanupPrograms programs;
  return programs;
}

}  // namespace

void CleanHeadlineText(std::u16string& text) {
  const CleanupPrograms& p = Programs();
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  ReplaceMatches(text, p.tables, u" ", true, true);
  ReplaceMatches(text, p.anchors, u" ", true, true);
  ReplaceMatches(text, p.tags, u" ", true, false);
  for (const LiteralRow& row : kEntityRows) ReplaceLiteral(text, row.search, row.insert);
  ReplaceMatches(text, p.spaces, u" ", true, true);
  ReplaceMatches(text, p.hyphens, u"-", true, true);
  ReplaceMatches(text, p.spacedHyphens, u" -", true, true);
  ReplaceMatches(text, p.commas, u",", true, true);
  StripTrailing(text, u" -");
  StripLeading(text, u" -");
}

}  // namespace quorvane
