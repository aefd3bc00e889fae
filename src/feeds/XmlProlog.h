#pragma once
// Checks and adjustments of a decoded feed's prolog before it is loaded.
#include <string>
#include <string_view>

namespace quorvane {

// Removes the encoding pseudo-attribute from the XML declaration. The text
// has already been decoded, and an XML parser that does not know the
// declared name would otherwise refuse it.
void RemoveDeclaredEncoding(std::u16string& text);

// Whether the document type declaration's internal subset declares any
// entity. Feeds have no use for entities, and entities are how a document
// makes a parser read local files, reach other servers or expand without
// bound, so such feeds are not loaded at all.
bool DeclaresEntities(std::u16string_view text);

// "%.2d:%.2d" of an hour and a minute.
std::u16string FormatTimeStamp(int hour, int minute);

}  // namespace quorvane
