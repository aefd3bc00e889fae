#include "gadget/CharacterBoundaries.h"

namespace quorvane {
namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char32_t CodePointAt(std::u16string_view text, std::size_t position) {
  const char16_t c = text[position];
  if (IsHighSurrogate(c) && position + 1 < text.size() && IsLowSurrogate(text[position + 1]))
    return 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[position + 1] - 0xDC00);
  return c;
}

// Drawn as part of the character before it.
bool Extends(char32_t c) {
  return c == kZeroWidthJoiner || (c >= 0x1F3FB && c <= 0x1F3FF) || IsCombiningMark(c);
}

}  // namespace

std::size_t CodePointEnd(std::u16string_view text, std::size_t position) {
  return CodePointAt(text, position) > 0xFFFF ? position + 2 : position + 1;
}

std::size_t CodePointStart(std::u16string_view text, std::size_t end) {
  if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2])) return end - 2;
  return end - 1;
}

std::size_t CharacterEnd(std::u16string_view text, std::size_t position) {
  char32_t previous = CodePointAt(text, position);
  std::size_t end = CodePointEnd(text, position);
  while (end < text.size()) {
    const char32_t next = CodePointAt(text, end);
    if (!Extends(next) && previous != kZeroWidthJoiner) break;
    previous = next;
    end = CodePointEnd(text, end);
  }
  return end;
}

}  // namespace quorvane
