#include "text/SearchHints.h"

#include <bit>

#include "text/PatternProgram.h"

namespace quorvane {
namespace {

void AddRange(std::vector<uint64_t>& set, uint32_t lower, uint32_t upper) {
  for (uint32_t c = lower; c <= upper && c <= 0xFFFF; ++c) set[c >> 6] |= uint64_t{1} << (c & 63);
}

// Every character that the first consuming instruction reachable from the
// start of the body could accept. Paths that may accept without consuming,
// or that depend on saved state, make any character possible.
std::vector<uint64_t> FirstCharacters(const std::vector<PatternInstruction>& code) {
  std::vector<uint64_t> set(1024, 0);
  std::vector<uint8_t> seen(code.size(), 0);
  std::vector<size_t> work{2};
  while (!work.empty()) {
    const size_t pc = work.back();
    work.pop_back();
    if (pc >= code.size()) return {};
    if (seen[pc]) continue;
    seen[pc] = 1;
    const PatternInstruction& in = code[pc];
    switch (in.kind) {
      case PatternKind::MatchChar:
        if (in.operand != 0) AddRange(set, in.operand, in.operand);
        break;
      case PatternKind::MatchInRanges:
        for (size_t i = pc + 1; i + 1 < static_cast<size_t>(in.operand); i += 2) {
          AddRange(set, code[i].operand, code[i + 1].operand);
        }
        break;
      case PatternKind::MatchNotInRanges: {
        std::vector<uint64_t> excluded(1024, 0);
        for (size_t i = pc + 1; i + 1 < static_cast<size_t>(in.operand); i += 2) {
          AddRange(excluded, code[i].operand, code[i + 1].operand);
        }
        for (size_t w = 0; w < set.size(); ++w) set[w] |= ~excluded[w];
        break;
      }
      case PatternKind::Jump:
        work.push_back(static_cast<size_t>(in.operand));
        break;
      case PatternKind::Branch:
        work.push_back(static_cast<size_t>(in.operand));
        work.push_back(pc + 1);
        break;
      case PatternKind::Fail:
      case PatternKind::NextStart:
      case PatternKind::StopSearch:
        break;
      case PatternKind::MatchAnyChar:
      case PatternKind::Accept:
      case PatternKind::StoreStackDepthInSlot:
      case PatternKind::LoadPositionFromSlot:
      case PatternKind::LoadStackDepthFromSlot:
      case PatternKind::MatchBackReference:
        return {};
      default:
        work.push_back(pc + 1);
        break;
    }
  }
  return set;
}

}  // namespace

SearchHints AnalyseProgram(const std::vector<PatternInstruction>& code,
                           const std::vector<uint8_t>& notes, const ProgramTraits& traits) {
  SearchHints hints;
  hints.boundedWork = traits.lazyLoopOverEmpty;
  // Such a program ends the whole search when its budget runs out at some
  // start position; skipping start positions would change which searches
  // get that far, so it runs without shortcuts.
  if (hints.boundedWork) return hints;
  hints.firstChars = FirstCharacters(code);
  if (!hints.firstChars.empty()) {
    int bits = 0;
    int32_t last = -1;
    for (size_t w = 0; w < hints.firstChars.size(); ++w) {
      if (hints.firstChars[w] == 0) continue;
      bits += std::popcount(hints.firstChars[w]);
      last = static_cast<int32_t>(w * 64 + 63 - std::countl_zero(hints.firstChars[w]));
    }
    if (bits == 1) hints.onlyFirstChar = last;
  }
  if (!traits.hasLookAhead && !traits.hasBackReference && !traits.lazyLoopOverEmpty) {
    hints.memoPoint.assign(code.size(), -1);
    for (size_t i = 0; i < code.size(); ++i) {
      const bool head = (notes[i] & (kNoteGreedyHead | kNoteLazyHead)) != 0;
      if (head && !(notes[i] & kNoteInEmptyLoop)) {
        hints.memoPoint[i] = static_cast<int32_t>(hints.memoPointCount++);
      }
    }
    if (hints.memoPointCount == 0) hints.memoPoint.clear();
  }
  return hints;
}

}  // namespace quorvane
