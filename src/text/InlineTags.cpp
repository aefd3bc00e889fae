#include "text/InlineTags.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "text/CaseFolding.h"
#include "text/FindUnit.h"

namespace quorvane {
namespace {

constexpr std::u16string_view kInlineNames[] = {
    u"a",    u"abbr",  u"b",      u"bdi",    u"bdo", u"big", u"cite", u"code", u"data", u"dfn",
    u"em",   u"font",  u"i",      u"kbd",    u"mark", u"q",  u"s",    u"samp", u"small",
    u"span", u"strike", u"strong", u"sub",   u"sup", u"time", u"tt",  u"u",    u"var",  u"wbr"};
constexpr size_t kLongestName = 6;

bool IsInlineName(std::u16string_view name) {
  char16_t folded[kLongestName];
  if (name.empty() || name.size() > kLongestName) return false;
  for (size_t k = 0; k < name.size(); ++k) folded[k] = FoldCase(name[k]);
  const std::u16string_view lower(folded, name.size());
  return std::find(std::begin(kInlineNames), std::end(kInlineNames), lower) !=
         std::end(kInlineNames);
}

bool EndsName(char16_t c) {
  return c == u'>' || c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'/';
}

}  // namespace

void RemoveInlineTags(std::u16string& text) {
  const std::u16string_view source = text;
  const size_t n = source.size();
  std::u16string out;
  size_t copied = 0;
  bool changed = false;
  for (size_t at = FindUnit(source.data(), 0, n, u'<'); at < n;
       at = FindUnit(source.data(), at, n, u'<')) {
    size_t name = at + 1;
    if (name < n && source[name] == u'/') ++name;
    size_t end = name;
    while (end < n && end - name <= kLongestName && !EndsName(source[end])) ++end;
    if (end == n || !IsInlineName(source.substr(name, end - name))) {
      ++at;
      continue;
    }
    if (source[end] != u'>') {
      end = FindUnit(source.data(), end, n, u'>');
      if (end == n) break;  // no tag of any kind ends after this point
    }
    if (!changed) out.reserve(n);
    changed = true;
    out.append(source.substr(copied, at - copied));
    copied = at = end + 1;
  }
  if (!changed) return;
  out.append(source.substr(copied));
  text = std::move(out);
}

}  // namespace quorvane
