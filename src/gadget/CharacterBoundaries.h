#pragma once
// Where one character of a UTF-16 text ends, for breaking an over-long word
// and for typing. A surrogate pair is one code point; a character as the
// reader sees it also takes the combining marks that follow it, and joined
// emoji (zero width joiner, skin-tone modifiers), so no line starts with a
// mark that belongs to the previous line's last letter.
#include <cstddef>
#include <string_view>

namespace quorvane {

// Unicode general categories Mn, Mc and Me (CombiningMarks.cpp).
bool IsCombiningMark(char32_t c);

// The end of the code point that starts at `position` (`position` + 2 for a
// surrogate pair, else + 1; a lone surrogate counts as one). `position`
// must be less than the text's length.
std::size_t CodePointEnd(std::u16string_view text, std::size_t position);

// The start of the code point that ends at `end` (> 0).
std::size_t CodePointStart(std::u16string_view text, std::size_t end);

// The end of the character that starts at `position`: its code point, then
// every following combining mark, skin-tone modifier, and code point joined
// by a zero width joiner. `position` must be less than the text's length.
std::size_t CharacterEnd(std::u16string_view text, std::size_t position);

}  // namespace quorvane
