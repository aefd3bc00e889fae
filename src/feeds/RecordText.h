#pragma once
// Bounds on the texts of one headline record. Nobody reads a headline of a
// book's length, and a feed that sends one must not cost the host memory
// and time in proportion.
#include <cstddef>
#include <string>

namespace quorvane {

// Characters (UTF-16 units) a title or description keeps after cleaning.
inline constexpr size_t kMaxRecordTextChars = 64 * 1024;
// Characters of raw text (mark-up included) handed to the cleanup, which
// then has enough to make kMaxRecordTextChars of text out of.
inline constexpr size_t kMaxRawRecordTextChars = 4 * kMaxRecordTextChars;

// Cuts `text` to at most `maxUnits` UTF-16 units, never between the two
// halves of a surrogate pair.
void CutAtCharacterBoundary(std::u16string& text, size_t maxUnits);

}  // namespace quorvane
