#pragma once
// Checks and adjustments of a decoded feed's prolog before it is loaded.
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

// Removes the encoding pseudo-attribute from the XML declaration. The text
// has already been decoded, and an XML parser that does not know the
// declared name would otherwise refuse it.
void RemoveDeclaredEncoding(std::u16string& text);

// Replacement text, in characters, that the references of one document may
// expand to in all.
inline constexpr size_t kMaxEntityExpansion = 1 << 20;

// Whether the document's internal subset declares entities that would make
// a parser read outside the text or expand without bound: external or
// parameter entities, entities whose text refers to other entities, or
// references that expand to more than kMaxEntityExpansion characters.
// Such feeds are not loaded at all; plain internal entities (a feed that
// declares "nbsp", say) are fine.
bool HasUnsafeEntities(std::u16string_view text);

// "%.2d:%.2d" of an hour and a minute.
std::u16string FormatTimeStamp(int hour, int minute);

}  // namespace quorvane
