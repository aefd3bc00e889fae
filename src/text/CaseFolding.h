#pragma once
// Lower-casing for case-insensitive patterns. The C runtime the control
// runs with lowers only A-Z in its default locale (and so does glibc's);
// doing it here keeps both builds identical. One code unit maps to one, so
// offsets into a folded copy are offsets into the original.
#include <string>
#include <string_view>

namespace quorvane {

inline char16_t FoldCase(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

inline std::u16string FoldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace quorvane
