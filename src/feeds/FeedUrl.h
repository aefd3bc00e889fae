#pragma once
// Feed addresses as the network layer needs them: non-ASCII characters
// percent-encoded, and relative references (a redirect's Location, a page's
// feed link) resolved against the address they came from.
#include <string>
#include <string_view>

namespace quorvane {

// Percent-encodes every character outside ASCII as its UTF-8 bytes (the
// IRI-to-URI rule); everything else stays as it is. A lone surrogate counts
// as U+FFFD. Without this an ANSI conversion would turn such characters into
// '?', which starts the query.
std::u16string EncodeNonAsciiUrl(std::u16string_view url);

// Bytes that name an address (a Location header, a page's href), taken as
// UTF-8: every byte outside ASCII percent-encoded as it is, once.
std::u16string EncodeNonAsciiBytes(std::string_view bytes);

// Whether the address is one the gadget follows on its own (a redirect, a
// page's feed link): http or https. Anything else (ftp, file, ...) could
// point it anywhere.
bool IsWebUrl(std::u16string_view url);

// Resolves `reference` against the absolute `base` (RFC 3986, section 5.2),
// dot segments removed. A reference with a scheme, or any reference when
// there is no base (a local file), is taken as it is.
std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference);

}  // namespace quorvane
