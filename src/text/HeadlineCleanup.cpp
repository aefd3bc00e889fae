#include "text/HeadlineCleanup.h"

#include <iterator>
#include <string_view>
#include <vector>

#include "text/FindUnit.h"
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

// The table's rows, in order. Rows 33, 39, 42, 43 and 44 each turn one
// control or separator character into another character of the same
// length; no other row's literal or replacement contains any of those
// characters, so they can all be applied in one pass after the others.
// Every other row begins with "&" and contains no other "&": its
// occurrences start at the text's "&"s, which are kept up to date instead
// of scanning the whole text for every row.
void DecodeEntities(std::u16string& text) {
  std::vector<size_t> amps;
  for (size_t at = 0; (at = FindUnit(text.data(), at, text.size(), u'&')) < text.size(); ++at) {
    amps.push_back(at);
  }
  std::vector<size_t> nextAmps;
  std::u16string rebuilt;
  for (const LiteralRow& row : kEntityRows) {
    if (row.search.size() == 1 || amps.empty()) continue;
    const std::u16string_view view = text;
    size_t copied = 0;
    bool changed = false;
    rebuilt.clear();
    nextAmps.clear();
    for (size_t at : amps) {
      if (view.substr(at, row.search.size()) != row.search) {
        nextAmps.push_back(rebuilt.size() + (at - copied));  // where it will land
        continue;
      }
      if (!changed) rebuilt.reserve(text.size());
      changed = true;
      rebuilt.append(view.substr(copied, at - copied));
      if (row.insert == u"&") nextAmps.push_back(rebuilt.size());
      rebuilt.append(row.insert);
      copied = at + row.search.size();
    }
    if (!changed) continue;
    rebuilt.append(view.substr(copied));
    text.swap(rebuilt);
    amps.swap(nextAmps);
  }
  for (char16_t& c : text) {
    switch (c) {
      case u'|': c = u','; break;
      case u'\r': case u'\n': case u'\b': case u'\t': c = u' '; break;
      default: break;
    }
  }
}

}  // namespace

void CleanHeadlineText(std::u16string& text) {
  const CleanupPrograms& p = Programs();
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  ReplaceMatches(text, p.tables, u" ", true, true);
  ReplaceMatches(text, p.anchors, u" ", true, true);
  ReplaceMatches(text, p.tags, u" ", true, false);
  DecodeEntities(text);
  ReplaceMatches(text, p.spaces, u" ", true, true);
  ReplaceMatches(text, p.hyphens, u"-", true, true);
  ReplaceMatches(text, p.spacedHyphens, u" -", true, true);
  ReplaceMatches(text, p.commas, u",", true, true);
  StripTrailing(text, u" -");
  StripLeading(text, u" -");
}

}  // namespace quorvane
