#pragma once
// UTF-8 <-> UTF-16 for the command-line tool. Malformed input never fails:
// each byte that does not begin a well-formed sequence becomes U+FFFD, and
// so does an unpaired surrogate on the way out.
#include <string>
#include <string_view>

namespace quorvane {

std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace quorvane
