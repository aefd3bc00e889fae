#pragma once
// Decoding of HTML character references, the way Python's html.unescape
// does it: named references of the HTML standard (the legacy names also
// without ";", the longest one that prefixes the text), decimal and
// hexadecimal references with or without ";". Zero, surrogates and numbers
// past U+10FFFF become U+FFFD, 0x80-0x9F are read as windows-1252, other
// control characters and noncharacters are dropped. One pass: a decoded
// "&" does not start another reference.
#include <string>

namespace quorvane {

void DecodeCharacterReferences(std::u16string& text);

}  // namespace quorvane
