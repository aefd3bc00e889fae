#pragma once
// What the search may assume about a compiled program. None of it changes
// a result; it only lets the search skip work whose outcome is known.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct PatternInstruction;

// Per-instruction notes the compiler leaves for the analysis.
enum InstructionNote : uint8_t {
  kNoteGreedyHead = 1,  // first instruction of a "*" loop whose body never matches empty
  kNoteLazyHead = 2,    // first instruction of a "*?" loop
  kNoteInEmptyLoop = 4, // inside the body of a greedy loop or "?" whose body may match empty
};

enum FastLoop : uint8_t {
  kLoopNone = 0,
  kLoopGreedyOne = 1,  // "x*" form over one single-character test
  kLoopLazyOne = 2,    // "x*?" form over one single-character test, then a literal
  kLoopGreedyEither = 3,  // "(x|y)*" form, x and y single-character tests
};

struct ProgramTraits {
  bool hasLookAhead = false;
  bool hasBackReference = false;
  bool lazyLoopOverEmpty = false;  // a "*?" or "+?" whose body may match empty
  // Runs of plain characters among the pattern's outermost elements, in
  // order: every match contains them in this order without overlap.
  std::vector<std::u16string> literalsInOrder;
};

struct SearchHints {
  // Characters that can begin a match before the end of the text, as a
  // 65536-bit set; empty when any character may.
  std::vector<uint64_t> firstChars;
  // Characters every match begins with (through groups and captures).
  std::u16string prefix;
  // Texts every match contains in this order: when they cannot all be
  // found in order after a start position, no later start can match.
  std::vector<std::u16string> literalsInOrder;
  // Where an attempt whose prefix is known to be there may begin instead
  // of instruction 0, and the stack entries the skipped instructions push
  // (0: begin at instruction 0). Only when no capture opens in the prefix.
  uint32_t entryAfterPrefix = 0;
  std::vector<uint32_t> entryPushes;
  // Loop heads whose failure at a position is remembered, per instruction
  // (-1: none). Sound only where the outcome of the rest of the search from
  // that instruction depends on the position alone: no look-ahead, no
  // back-reference, and not inside a loop whose body may match empty.
  std::vector<int32_t> memoPoint;
  uint32_t memoPointCount = 0;
  // Loops whose body is one single-character test, run in a tight loop
  // that pushes and pops exactly what the instructions would, per
  // instruction (kLoopNone elsewhere).
  std::vector<uint8_t> fastLoop;
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
