#include "feeds/XmlProlog.h"

#include <cstdio>

namespace quorvane {
namespace {

bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

size_t SkipSpace(std::u16string_view text, size_t at) {
  while (at < text.size() && IsXmlSpace(text[at])) ++at;
  return at;
}

bool At(std::u16string_view text, size_t at, std::u16string_view what) { return text.substr(at, what.size()) == what; }

// Index just past `terminator` at or after `from`, or npos.
size_t After(std::u16string_view text, size_t from, std::u16string_view terminator) {
  const size_t found = text.find(terminator, from);
  return found == std::u16string_view::npos ? found : found + terminator.size();
}

// Index just past the '>' that ends a markup declaration, skipping quoted
// literals; npos if it never ends.
size_t AfterDeclaration(std::u16string_view text, size_t at) {
  char16_t quote = 0;
  for (; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'>') {
      return at + 1;
    }
  }
  return std::u16string_view::npos;
}

bool SubsetDeclaresEntities(std::u16string_view text, size_t at) {
  while (at != std::u16string_view::npos && at < text.size()) {
    at = SkipSpace(text, at);
    if (at >= text.size() || text[at] == u']') return false;
    if (At(text, at, u"<!ENTITY")) return true;
    if (At(text, at, u"<!--")) {
      at = After(text, at + 4, u"-->");
    } else if (At(text, at, u"<?")) {
      at = After(text, at + 2, u"?>");
    } else if (At(text, at, u"<!")) {
      at = AfterDeclaration(text, at + 2);
    } else if (text[at] == u'%') {
      at = After(text, at + 1, u";");
    } else {
      return false;  // not a declaration: the parser refuses the document anyway
    }
  }
  return false;
}

}  // namespace

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

bool DeclaresEntities(std::u16string_view text) {
  size_t at = text.starts_with(u'\xFEFF') ? 1 : 0;
  while (at != std::u16string_view::npos && at < text.size()) {
    at = SkipSpace(text, at);
    if (At(text, at, u"<?")) {
      at = After(text, at + 2, u"?>");
    } else if (At(text, at, u"<!--")) {
      at = After(text, at + 4, u"-->");
    } else if (At(text, at, u"<!DOCTYPE")) {
      char16_t quote = 0;
      for (at += 9; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == u'"' || c == u'\'') {
          quote = c;
        } else if (c == u'[') {
          return SubsetDeclaresEntities(text, at + 1);
        } else if (c == u'>') {
          return false;
        }
      }
      return false;
    } else {
      return false;  // the root element: the prolog is over
    }
  }
  return false;
}

std::u16string FormatTimeStamp(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d:%.2d", hour, minute);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace quorvane
