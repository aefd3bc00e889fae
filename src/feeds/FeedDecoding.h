#pragma once
// Converts a downloaded feed body to UTF-16 text.
#include <string>
#include <string_view>

namespace quorvane {

// Decodes after the byte order mark with the detected code page, up to the
// first zero character; `httpCharset` (from the response's Content-Type)
// counts when the body has no byte order mark and no declared encoding. A
// code page the system cannot convert falls back to the ANSI code page.
std::u16string DecodeFeedBody(std::string_view body, std::string_view httpCharset = {});

}  // namespace quorvane
