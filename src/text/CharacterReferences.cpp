#include "text/CharacterReferences.h"

#include <algorithm>
#include <string_view>

#include "text/FindUnit.h"
#include "text/NamedReferences.h"

namespace quorvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kDropped = 0xFFFFFFFF;
constexpr char32_t kPastUnicode = 0x110000;

// The character a numeric reference stands for, or kDropped.
char32_t NumericCharacter(char32_t n) {
  if (n == 0 || n >= kPastUnicode || (n >= 0xD800 && n <= 0xDFFF)) return kReplacement;
  if (n == 0xD) return n;
  if (n >= 0x80 && n <= 0x9F) return kWindows1252High[n - 0x80];
  const bool dropped = (n >= 1 && n <= 8) || n == 0xB || (n >= 0xE && n <= 0x1F) ||
                       n == 0x7F || (n >= 0xFDD0 && n <= 0xFDEF) || (n & 0xFFFE) == 0xFFFE;
  return dropped ? kDropped : n;
}

int DigitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (!hex) return -1;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

void AppendCharacter(std::u16string& out, char32_t c) {
  if (c == kDropped) return;
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// A numeric reference at `at` ("&#"): appends its character and returns
// the position after it, or returns `at` when there are no digits.
size_t DecodeNumeric(std::u16string_view text, size_t at, std::u16string& out) {
  size_t i = at + 2;
  const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
  if (hex) ++i;
  const size_t digits = i;
  char32_t n = 0;
  for (int d; i < text.size() && (d = DigitValue(text[i], hex)) >= 0; ++i) {
    n = std::min<char32_t>(n * (hex ? 16 : 10) + static_cast<char32_t>(d), kPastUnicode);
  }
  if (i == digits) return at;
  if (i < text.size() && text[i] == u';') ++i;
  AppendCharacter(out, NumericCharacter(n));
  return i;
}

bool EndsName(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u' ' || c == u'<' || c == u'&' ||
         c == u'#' || c == u';';
}

// Names are ASCII; a text unit outside ASCII sorts after every name.
int CompareName(std::string_view name, std::u16string_view text) {
  const size_t n = std::min(name.size(), text.size());
  for (size_t k = 0; k < n; ++k) {
    const auto a = static_cast<char16_t>(static_cast<unsigned char>(name[k]));
    if (a != text[k]) return a < text[k] ? -1 : 1;
  }
  return name.size() == text.size() ? 0 : (name.size() < text.size() ? -1 : 1);
}

const NamedReference* FindName(std::u16string_view name) {
  const NamedReference* end = kNamedReferences + kNamedReferenceCount;
  const NamedReference* found = std::lower_bound(
      kNamedReferences, end, name,
      [](const NamedReference& r, std::u16string_view n) { return CompareName(r.name, n) < 0; });
  return found != end && CompareName(found->name, name) == 0 ? found : nullptr;
}

// A named reference at `at` ("&" and a name character): appends its value
// and returns the position after what it used, or returns `at`. With ";"
// the whole name counts; otherwise, or when that is no name, the longest
// legacy name that begins the text does, and what follows it stays.
size_t DecodeNamed(std::u16string_view text, size_t at, std::u16string& out) {
  size_t end = at + 1;
  while (end < text.size() && !EndsName(text[end])) ++end;
  const std::u16string_view name = text.substr(at + 1, end - at - 1);
  if (end < text.size() && text[end] == u';') {
    if (const NamedReference* r = FindName(name)) {
      out += r->value;
      return end + 1;
    }
  }
  for (size_t length = std::min(name.size(), kLongestLegacyName); length >= 2; --length) {
    const NamedReference* r = FindName(name.substr(0, length));
    if (r && r->legacy) {
      out += r->value;
      return at + 1 + length;
    }
  }
  return at;
}

}  // namespace

void DecodeCharacterReferences(std::u16string& text) {
  const std::u16string_view source = text;
  size_t at = FindUnit(source.data(), 0, source.size(), u'&');
  if (at == source.size()) return;
  std::u16string out;
  out.reserve(source.size());
  size_t copied = 0;
  while (at < source.size()) {
    out.append(source.substr(copied, at - copied));
    size_t next = at;
    if (at + 1 < source.size()) {
      next = source[at + 1] == u'#' ? DecodeNumeric(source, at, out)
                                    : (EndsName(source[at + 1]) ? at : DecodeNamed(source, at, out));
    }
    if (next == at) {
      out += u'&';
      next = at + 1;
    }
    copied = next;
    at = FindUnit(source.data(), next, source.size(), u'&');
  }
  out.append(source.substr(copied));
  text = std::move(out);
}

}  // namespace quorvane
