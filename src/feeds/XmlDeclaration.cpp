#include "feeds/XmlDeclaration.h"

#include "feeds/XmlScan.h"

namespace quorvane {

using namespace xml;

void RemoveDeclaredEncoding(std::u16string& text) {
  size_t start = text.starts_with(u'\xFEFF') ? 1 : 0;
  if (!At(text, start, u"<?xml") || start + 5 >= text.size() || !(IsXmlSpace(text[start + 5]) || text[start + 5] == u'?'))
    return;
  const size_t end = text.find(u"?>", start);
  if (end == std::u16string::npos) return;
  const std::u16string_view declaration = std::u16string_view(text).substr(0, end);
  for (size_t at = start + 5; (at = declaration.find(u"encoding", at)) != std::u16string_view::npos; at += 8) {
    if (!IsXmlSpace(declaration[at - 1])) continue;
    size_t value = SkipSpace(declaration, at + 8);
    if (value >= declaration.size() || declaration[value] != u'=') continue;
    value = SkipSpace(declaration, value + 1);
    if (value >= declaration.size() || (declaration[value] != u'"' && declaration[value] != u'\'')) return;
    const size_t close = declaration.find(declaration[value], value + 1);
    if (close == std::u16string_view::npos) return;
    size_t from = at;
    while (from > start + 5 && IsXmlSpace(text[from - 1])) --from;
    text.erase(from, close + 1 - from);
    return;
  }
}

}  // namespace quorvane
