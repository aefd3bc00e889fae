#pragma once
// Resolves a link that a feed gives relative to the feed's own address.
#include <string>
#include <string_view>

namespace quorvane {

// `reference` resolved against `base` as a browser resolves a link on a page
// at `base` (RFC 3986, section 5.2, dot segments removed). A reference with
// a scheme, or an empty base, comes back unchanged.
std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference);

}  // namespace quorvane
