#pragma once
// Adjusts the XML declaration of a feed that has already been decoded.
#include <string>

namespace quorvane {

// Removes the encoding pseudo-attribute from the XML declaration. The text
// has already been decoded, and an XML parser that does not know the
// declared name would otherwise refuse it.
void RemoveDeclaredEncoding(std::u16string& text);

}  // namespace quorvane
