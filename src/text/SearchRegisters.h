#pragma once
// The registers of one running search: where it is in the program and in
// the text, the slots and captures, and the backtracking stack. The
// matcher's loop (PatternSearch.cpp) and its shortcuts (SearchShortcuts.h)
// share them; both are inlined into one function, so that they stay in
// machine registers.
#include <cstdint>

#include "text/MatchState.h"
#include "text/PatternProgram.h"

namespace quorvane {

// Makes room for one more stack entry, twice the new depth plus two, up to
// the limit; false when the limit is reached or memory is short.
bool GrowStack(MatchState& state, uint32_t depth, uint64_t limit);

struct SearchRegisters {
  const PatternInstruction* code = nullptr;
  uint32_t codeSize = 0;
  const char16_t* text = nullptr;  // the text, or the remainder, searched
  uint32_t n = 0;                  // its length
  uint32_t pc = 0;
  uint32_t pos = 0;
  uint32_t* slots = nullptr;
  CaptureExtent* captures = nullptr;
  uint32_t* stack = nullptr;
  uint32_t depth = 0;
  uint64_t room = 0;   // entries the stack has
  uint64_t limit = 0;  // entries it may grow to
  MatchState* state = nullptr;

  // False when the stack cannot grow: the search then ends without a match.
  [[gnu::always_inline]] bool Push(uint32_t value) {
    if (depth == room) {
      if (!GrowStack(*state, depth, limit)) return false;
      stack = state->stack.data();
      room = state->stack.size();
    }
    stack[depth++] = value;
    return true;
  }
  [[gnu::always_inline]] uint32_t Pop() { return stack[--depth]; }
};

// Whether `c` lies in one of the ranges of the class at `at`.
inline bool InRanges(const PatternInstruction* code, uint32_t at, char16_t c) {
  for (int32_t i = static_cast<int32_t>(at) + 1; i + 1 < code[at].operand; i += 2) {
    if (code[i].operand <= c && c <= code[i + 1].operand) return true;
  }
  return false;
}

}  // namespace quorvane
