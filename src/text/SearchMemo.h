#pragma once
// Remembers that the rest of a search failed from a given loop head at a
// given position of one text buffer, so that later start positions (and
// later searches of the buffer's remainders) do not explore it again.
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace quorvane {

class SearchMemo {
 public:
  // Forgets everything unless the buffer and program shape are the same.
  void Prepare(const char16_t* text, size_t length, uint32_t points, bool keep) {
    const char16_t* end = text + length;
    if (keep && points == points_ && end == end_ && origin_ != nullptr && origin_ <= text) return;
    origin_ = text;
    end_ = end;
    points_ = points;
    span_ = length + 1;
    failed_.clear();
  }
  size_t Offset(const char16_t* text) const { return static_cast<size_t>(text - origin_); }

  bool Failed(uint32_t point, size_t at) const {
    if (failed_.empty()) return false;
    const size_t bit = point * span_ + at;
    return (failed_[bit >> 6] >> (bit & 63)) & 1;
  }
  void MarkFailed(uint32_t point, size_t at) {
    if (failed_.empty()) {
      try {
        failed_.assign((points_ * span_ + 63) / 64, 0);
      } catch (const std::bad_alloc&) {
        return;  // the memo is only an accelerator
      }
    }
    const size_t bit = point * span_ + at;
    failed_[bit >> 6] |= uint64_t{1} << (bit & 63);
  }

 private:
  const char16_t* origin_ = nullptr;
  const char16_t* end_ = nullptr;
  uint32_t points_ = 0;
  size_t span_ = 0;
  std::vector<uint64_t> failed_;
};

}  // namespace quorvane
