#pragma once
// Small scanning steps over XML text, shared by the prolog checks.
#include <cstddef>
#include <string_view>

namespace quorvane::xml {

inline bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

inline size_t SkipSpace(std::u16string_view text, size_t at) {
  while (at < text.size() && IsXmlSpace(text[at])) ++at;
  return at;
}

inline bool At(std::u16string_view text, size_t at, std::u16string_view what) {
  return text.substr(at, what.size()) == what;
}

// Index just past `terminator` at or after `from`, or npos.
inline size_t After(std::u16string_view text, size_t from, std::u16string_view terminator) {
  const size_t found = text.find(terminator, from);
  return found == std::u16string_view::npos ? found : found + terminator.size();
}

// Index just past the '>' that ends a markup declaration, skipping quoted
// literals; npos if it never ends.
inline size_t AfterDeclaration(std::u16string_view text, size_t at) {
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

}  // namespace quorvane::xml
