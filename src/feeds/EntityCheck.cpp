#include "feeds/EntityCheck.h"

#include <map>
#include <string>

#include "feeds/XmlScan.h"

namespace quorvane {
namespace {

using namespace xml;

bool IsNameChar(char16_t c) {
  return !(IsXmlSpace(c) || c == u';' || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'' ||
           c == u'%' || c == u'[' || c == u']');
}

// A character reference at `at` ("&#38;" or "&#x26;") that stands for '&'
// or '%': inside an entity's text it becomes a reference when the entity is
// expanded.
bool ReferencesMarkup(std::u16string_view text, size_t at) {
  size_t i = at + 2;
  const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
  if (hex) ++i;
  unsigned long value = 0;
  for (; i < text.size() && text[i] != u';'; ++i) {
    const char16_t c = text[i];
    int digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return true;  // malformed: take no chance
    value = value * (hex ? 16 : 10) + digit;
    if (value > 0x10FFFF) return true;
  }
  return value == u'&' || value == u'%';
}

// Whether an entity's literal text may be used: no parameter-entity or
// general-entity references, also none spelled as character references.
bool IsPlainEntityText(std::u16string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == u'%') return false;
    if (value[i] != u'&') continue;
    if (i + 1 >= value.size() || value[i + 1] != u'#' || ReferencesMarkup(value, i)) return false;
  }
  return true;
}

using EntitySizes = std::map<std::u16string, size_t, std::less<>>;

// Reads the internal subset that starts at `at`, collecting the text length
// of each entity; `at` ends past it. False on an entity that is not plain,
// and on anything this reading does not understand (a parser refuses such
// a subset too, so no ordinary feed is lost).
bool ReadSubset(std::u16string_view text, size_t& at, EntitySizes& sizes) {
  while (at != std::u16string_view::npos && at < text.size()) {
    at = SkipSpace(text, at);
    if (at >= text.size()) break;
    if (text[at] == u']') {
      ++at;
      return true;
    }
    if (At(text, at, u"<!ENTITY")) {
      size_t p = SkipSpace(text, at + 8);
      if (p >= text.size() || text[p] == u'%') return false;  // a parameter entity
      size_t nameEnd = p;
      while (nameEnd < text.size() && IsNameChar(text[nameEnd])) ++nameEnd;
      const std::u16string_view name = text.substr(p, nameEnd - p);
      p = SkipSpace(text, nameEnd);
      if (p >= text.size() || (text[p] != u'"' && text[p] != u'\'')) return false;  // SYSTEM or PUBLIC
      const size_t close = text.find(text[p], p + 1);
      if (close == std::u16string_view::npos) return false;
      const std::u16string_view value = text.substr(p + 1, close - p - 1);
      if (!IsPlainEntityText(value)) return false;
      sizes.emplace(name, value.size());  // the first declaration binds
      at = AfterDeclaration(text, close + 1);
    } else if (At(text, at, u"<!--")) {
      at = After(text, at + 4, u"-->");
    } else if (At(text, at, u"<?")) {
      at = After(text, at + 2, u"?>");
    } else if (At(text, at, u"<!")) {
      at = AfterDeclaration(text, at + 2);
    } else {
      return false;  // a parameter-entity reference, or not a declaration
    }
  }
  return false;  // the subset never ends
}

// Where the internal subset starts (just past '['), or npos when the
// document has none.
size_t InternalSubset(std::u16string_view text) {
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
          return at + 1;
        } else if (c == u'>') {
          break;
        }
      }
      break;
    } else {
      break;  // the root element: the prolog is over
    }
  }
  return std::u16string_view::npos;
}

}  // namespace

bool HasUnsafeEntities(std::u16string_view text) {
  size_t at = InternalSubset(text);
  if (at == std::u16string_view::npos) return false;
  EntitySizes sizes;
  if (!ReadSubset(text, at, sizes)) return true;
  if (sizes.empty()) return false;
  // Plain entities expand once per reference; bound what all of them add.
  size_t total = 0;
  for (at = text.find(u'&', at); at != std::u16string_view::npos; at = text.find(u'&', at + 1)) {
    size_t end = at + 1;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    if (end >= text.size() || text[end] != u';') continue;
    const auto found = sizes.find(text.substr(at + 1, end - at - 1));
    if (found != sizes.end() && (total += found->second) > kMaxEntityExpansion) return true;
  }
  return false;
}

}  // namespace quorvane
