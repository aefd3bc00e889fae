#pragma once
// Keeps the line breaks of recently shown texts so that a redraw measures
// only lines it has never laid out. Entries are keyed by the text's content,
// the available width and the measurer's font key; a different key simply
// makes a new entry, so there is nothing to invalidate by hand. Lines are
// computed on first use, in order, and kept.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gadget/LineBreaker.h"
#include "gadget/TextMeasurer.h"

namespace quorvane {

// The lines of one text at one width in one font.
class TextLines {
 public:
  TextLines(std::u16string_view text, int width, std::uintptr_t fontKey);

  bool Matches(std::u16string_view text, int width, std::uintptr_t fontKey) const;

  // Line `index`; lines before it must have been asked for and none of them
  // may be the last. Measures only when the line was not laid out before.
  const TextLine& Line(std::size_t index, TextMeasurer& measurer);

  std::size_t KnownLines() const { return lines_.size(); }

 private:
  std::u16string text_;
  int width_;
  std::uintptr_t fontKey_;
  std::vector<TextLine> lines_;
};

class LineBreakCache {
 public:
  // Two entries cover two headlines, so stepping back to the previous one
  // does not lay it out again.
  explicit LineBreakCache(std::size_t capacity = 2);

  // The entry for this text, width and font, made empty if not kept. The
  // reference is valid until the next call.
  TextLines& For(std::u16string_view text, int width, const TextMeasurer& measurer);

  void Clear() { entries_.clear(); }

 private:
  std::size_t capacity_;
  std::vector<std::unique_ptr<TextLines>> entries_;  // most recently used first
};

}  // namespace quorvane
