#pragma once
// Word wrapping of the text area, one line at a time. Lines depend only on
// the text, the available width and the font, never on how much is typed,
// which is what lets them be cached.
#include <cstddef>
#include <string_view>

#include "gadget/TextMeasurer.h"

namespace quorvane {

struct TextLine {
  std::size_t start = 0;  // first character, after the skipped spaces
  std::size_t end = 0;    // one past the last character drawn on this line
  int height = 0;         // measured height of [start, end)
  bool last = false;      // no line is laid out after this one
  bool operator==(const TextLine&) const = default;
};

// Lays out the line that follows position `from` in `text` for a text area
// `availableWidth` pixels wide:
//  - spaces at `from` are skipped;
//  - words are added while the text up to (not including) the next space is
//    narrower than the area; the text's final word joins only if the whole
//    rest of the text is narrower, and then the line is the last;
//  - a first word that is not narrower than the area on its own (a long
//    address, a compound, a text without spaces such as Chinese) is broken
//    after the last whole character that fits, at least one character, so
//    every character of the text is on some line. A character keeps its
//    surrogate pair, combining marks and joined emoji.
TextLine BreakLine(std::u16string_view text, std::size_t from, int availableWidth,
                   TextMeasurer& measurer);

}  // namespace quorvane
