#pragma once
// The literal replacements of the headline cleanup's entity step: the
// product applies them, and the tests, the fuzzer and the benchmark build
// their reference pipelines from this same table.
#include <cstddef>
#include <iterator>
#include <string_view>

namespace quorvane {

struct EntityRow {
  std::u16string_view search;
  std::u16string_view insert;
};

// Applied top to bottom, each over the whole text: the order matters
// ("&amp;lt;" decodes twice, through rows 21 and 27).
inline constexpr EntityRow kEntityRows[] = {
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

// Every character reference still in the text is decoded after this many
// rows, so that the rows after it turn decoded line breaks and tabs into
// spaces.
inline constexpr size_t kRowsBeforeReferences = 38;

}  // namespace quorvane
