#include "gadget/LineBreakCache.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quorvane {

TextLines::TextLines(std::u16string_view text, int width, std::uintptr_t fontKey)
    : text_(text), width_(width), fontKey_(fontKey) {}

bool TextLines::Matches(std::u16string_view text, int width, std::uintptr_t fontKey) const {
  // Compared as bytes: the character-wise comparison of UTF-16 strings is
  // several times slower, and this runs on every draw.
  return width_ == width && fontKey_ == fontKey && text_.size() == text.size() &&
         std::memcmp(text_.data(), text.data(), text.size() * sizeof(char16_t)) == 0;
}

const TextLine& TextLines::Line(std::size_t index, TextMeasurer& measurer) {
  assert(index <= lines_.size());
  assert(index == 0 || !lines_[index - 1].last);
  if (index == lines_.size()) {
    const std::size_t from = index == 0 ? 0 : lines_.back().end;
    lines_.push_back(BreakLine(text_, from, width_, measurer));
  }
  return lines_[index];
}

LineBreakCache::LineBreakCache(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

TextLines& LineBreakCache::For(std::u16string_view text, int width, const TextMeasurer& measurer) {
  const std::uintptr_t key = measurer.FontKey();
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const auto& entry) { return entry->Matches(text, width, key); });
  if (found == entries_.end()) {
    if (entries_.size() >= capacity_) entries_.pop_back();
    entries_.insert(entries_.begin(), std::make_unique<TextLines>(text, width, key));
  } else {
    std::rotate(entries_.begin(), found, found + 1);
  }
  return *entries_.front();
}

}  // namespace quorvane
