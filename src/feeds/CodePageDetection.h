#pragma once
// Works out the character encoding of a downloaded feed body from its byte
// order mark or its XML declaration.
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvane {

inline constexpr uint32_t kCodePageAnsi = 0;  // the system's default ANSI code page
inline constexpr uint32_t kCodePageUtf16LE = 1200;
inline constexpr uint32_t kCodePageUtf16BE = 1201;
inline constexpr uint32_t kCodePageUtf7 = 65000;
inline constexpr uint32_t kCodePageUtf8 = 65001;

// Bytes to skip before decoding: 3 after the UTF-8 byte order mark, 2 after
// a UTF-16 one (either byte order), else 0.
uint16_t ByteOrderMarkLength(std::string_view body);

// The code page to decode the body with: the byte order mark's; else, for a
// body that begins exactly with "<?xml", the code page of the first
// "encoding=" value in the text; else UTF-8.
uint32_t DetectCodePage(std::string_view body);

// The same, except that a body with neither a byte order mark nor an
// "encoding=" to read takes the code page of `httpCharset` (the charset of
// the response's Content-Type) when that label is known.
uint32_t DetectCodePage(std::string_view body, std::string_view httpCharset);

// The charset parameter of a Content-Type value, without quotes; empty when
// there is none.
std::string_view CharsetOfContentType(std::string_view contentType);

// The code page of an encoding label, as the WHATWG Encoding Standard maps
// labels to encodings (case-insensitive, surrounding white space ignored).
// UTF-16 labels give UTF-8: a body that begins with "<?xml" in single bytes
// cannot be UTF-16. "utf-7" gives UTF-7. Empty for unknown labels and for
// encodings Windows has no code page for.
std::optional<uint32_t> CodePageForLabel(std::string_view label);

}  // namespace quorvane
