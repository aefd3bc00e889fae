#pragma once
// UTF-8 <-> UTF-16 for the JSON and OPML writers, URLs and the command-line
// tools. Malformed input never fails: each byte that does not begin a
// well-formed sequence becomes U+FFFD, and so does an unpaired surrogate on
// the way out.
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// The code point of the surrogate pair at text[at], or 0 when there is none.
char32_t SurrogatePairAt(std::u16string_view text, size_t at);

// Appends the UTF-8 bytes of the code point `c`.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quorvane
