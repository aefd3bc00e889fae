#pragma once
// What the search may assume about a compiled program. None of it changes
// a result; it only lets the search skip work whose outcome is known.
#include <cstdint>
#include <vector>

namespace quorvane {

struct PatternInstruction;

// Per-instruction notes the compiler leaves for the analysis.
enum InstructionNote : uint8_t {
  kNoteGreedyHead = 1,  // first instruction of a "*" loop whose body never matches empty
  kNoteLazyHead = 2,    // first instruction of a "*?" loop
  kNoteInEmptyLoop = 4, // inside the body of a greedy loop or "?" whose body may match empty
};

struct ProgramTraits {
  bool hasLookAhead = false;
  bool hasBackReference = false;
  bool lazyLoopOverEmpty = false;  // a "*?" or "+?" whose body may match empty
};

struct SearchHints {
  // Characters that can begin a match before the end of the text, as a
  // 65536-bit set; empty when any character may.
  std::vector<uint64_t> firstChars;
  int32_t onlyFirstChar = -1;  // the one character that can begin a match, if so
  // Loop heads whose failure at a position is remembered, per instruction
  // (-1: none). Sound only where the outcome of the rest of the search from
  // that instruction depends on the position alone: no look-ahead, no
  // back-reference, and not inside a loop whose body may match empty.
  std::vector<int32_t> memoPoint;
  uint32_t memoPointCount = 0;
  // A lazy loop over something that may match empty can cycle forever
  // without consuming or pushing: such programs run on a step budget.
  bool boundedWork = false;

  bool MayBegin(char16_t c) const {
    return firstChars.empty() || ((firstChars[c >> 6] >> (c & 63)) & 1) != 0;
  }
};

SearchHints AnalyseProgram(const std::vector<PatternInstruction>& code,
                           const std::vector<uint8_t>& notes, const ProgramTraits& traits);

}  // namespace quorvane
