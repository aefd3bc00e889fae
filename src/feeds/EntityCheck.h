#pragma once
// Decides whether a feed's own DTD may be handed to the XML parser.
#include <cstddef>
#include <string_view>

namespace quorvane {

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

}  // namespace quorvane
