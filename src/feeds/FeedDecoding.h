#pragma once
// Converts a downloaded feed body to UTF-16 text.
#include <string>
#include <string_view>

namespace quorvane {

// Decodes after the byte order mark with the detected code page, up to the
// first zero character. A code page the system cannot convert falls back
// to the ANSI code page.
std::u16string DecodeFeedBody(std::string_view body);

}  // namespace quorvane
