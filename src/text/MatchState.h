#pragma once
// The working state of one search: match and capture extents, scratch
// slots and the backtracking stack.
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/SearchMemo.h"

namespace quorvane {

struct CaptureExtent {
  uint32_t start = 0;
  uint32_t end = 0;
};

class MatchState {
 public:
  // Room for 256 stack entries to begin with.
  MatchState() : stack(256) {}

  uint32_t captureCount = 0;
  uint32_t matchStart = 0;  // offsets into `subject`
  uint32_t matchEnd = 0;
  std::vector<uint32_t> slots;
  std::vector<CaptureExtent> captures;  // both zero until set
  std::vector<uint32_t> stack;          // its size is the room; grows on demand
  uint32_t stackDepth = 0;
  // The text the offsets refer to: the caller's text, also after a
  // case-insensitive search of a lower-cased copy.
  std::u16string_view subject;
  // Failures the search remembers between start positions and between
  // the searches of one global replacement.
  SearchMemo memo;

  // Capture k's current text (empty when it has none).
  std::u16string_view CaptureText(uint32_t k) const {
    if (k >= captures.size()) return {};
    const CaptureExtent c = captures[k];
    if (c.end <= c.start || c.end > subject.size()) return {};
    return subject.substr(c.start, c.end - c.start);
  }
};

}  // namespace quorvane
