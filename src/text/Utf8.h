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

// `text` as UTF-8 between double quotes, for the JSON and XML writers. A
// surrogate pair is written as its code point; any other unit goes to
// `escape(unit, out)` first, which appends its own spelling of it (or
// nothing) and returns true, or returns false to have it written as it is.
template <typename Escape>
std::string QuotedUtf8(std::u16string_view text, Escape escape) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    if (const char32_t pair = SurrogatePairAt(text, i)) {
      AppendUtf8(out, pair);
      ++i;
    } else if (!escape(text[i], out)) {
      AppendUtf8(out, text[i]);
    }
  }
  return out + "\"";
}

}  // namespace quorvane
