#pragma once
// Turns fuzzer bytes into wide text: bytes are code units, with a few
// bytes standing for code units beyond Latin-1 (surrogates, U+FFFF).
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvane::fuzz {

inline char16_t CodeUnit(uint8_t b) {
  switch (b) {
    case 0xF9: return u'\u0130';
    case 0xFA: return u'\u00C9';
    case 0xFB: return static_cast<char16_t>(0xD800);
    case 0xFC: return static_cast<char16_t>(0xDC00);
    case 0xFD: return u'\uFFFD';
    case 0xFE: return u'\uFFFF';
    default: return b;
  }
}

inline std::u16string Widen(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size);
  for (size_t i = 0; i < size; ++i) text += CodeUnit(data[i]);
  return text;
}

}  // namespace quorvane::fuzz
