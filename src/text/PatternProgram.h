#pragma once
// A compiled pattern of the system's own pattern language: a flat list of
// instructions that the backtracking matcher executes.
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/SearchHints.h"

namespace quorvane {

class MatchState;

// Instruction kinds. The codes are part of the compiled form.
enum class PatternKind : int32_t {
  NoOp = 0,
  MarkCaptureStart = 1,
  MarkCaptureEnd = 2,
  MatchChar = 3,
  MatchAnyChar = 4,
  MatchInRanges = 7,
  MatchNotInRanges = 8,
  Jump = 13,
  SavePosition = 14,
  RestorePosition = 15,
  Branch = 16,
  Fail = 17,
  SaveSlot = 20,
  RestoreSlot = 21,
  StorePositionInSlot = 22,
  StoreStackDepthInSlot = 23,
  LoadPositionFromSlot = 24,
  LoadStackDepthFromSlot = 25,
  FailIfNoProgress = 26,
  MatchBackReference = 27,
  StopSearch = 28,
  NextStart = 29,
  Accept = 30,
  SaveCapture = 31,
  RestoreCapture = 32,
};

// What an instruction's operand refers to. The compiler relocates index
// and slot operands when it lays a body down again; checks of a program's
// shape read them from here too.
enum class OperandRole : uint8_t {
  None,       // ignored (NoOp's operand may carry a range bound)
  Character,  // a code unit; 0 for the end of the text
  Index,      // an instruction index
  Capture,    // a capture number
  Slot,       // a slot number
};

// The kind's name as written in the instruction set, or nullptr.
const char* PatternKindName(PatternKind kind);
// The role of the kind's operand (None for unknown kinds).
OperandRole PatternOperandRole(PatternKind kind);

struct PatternInstruction {
  PatternKind kind;
  int32_t operand;

  bool operator==(const PatternInstruction&) const = default;
};

// Results of CompilePattern.
enum PatternError : int32_t {
  kPatternOk = 0,
  kPatternNoMemory = 1,          // also: the program would exceed its size or nesting bound
  kPatternOpenCapture = 2,       // "{" without "}"
  kPatternOpenGroup = 3,         // "(" without ")"
  kPatternOpenClass = 4,         // class without "]", or range without upper bound
  kPatternBadAbbreviation = 5,
  kPatternEmptyClass = 6,
  kPatternBadBackReference = 7,
  kPatternReversedRange = 8,
  kPatternRepeatsEmpty = 9,      // "*", "+", "*?", "+?" on something that may match empty
  kPatternMissing = 10,
};

// Bounds that keep hostile patterns from exhausting memory or the call
// stack at compile time. Nested "+" doubles the program per level, so
// «((a+)+)+...» reaches the size bound after about twenty levels; the
// cleanup's own programs have fewer than a hundred instructions.
inline constexpr size_t kMaxPatternInstructions = size_t{1} << 20;
inline constexpr int kMaxPatternNesting = 200;

class PatternProgram {
 public:
  PatternProgram() = default;

  // Discards the earlier program and compiles `pattern` (zero-terminated,
  // or nullptr). Without caseSensitive the pattern is lower-cased first.
  // Returns the error code, which is also kept.
  int32_t CompilePattern(const char16_t* pattern, bool caseSensitive);

  // Searches `text` for the first match; true fills `state` with the match
  // and capture extents as offsets into `text`. A program that did not
  // compile never matches.
  bool MatchPattern(std::u16string_view text, MatchState& state) const;
  // Zero-terminated form; false for a missing text or state.
  bool MatchPattern(const char16_t* text, MatchState* state) const;

  int32_t ErrorCode() const { return errorCode; }
  const std::vector<PatternInstruction>& Instructions() const { return instructions; }
  uint32_t CaptureCount() const { return captureCount; }
  uint32_t SlotCount() const { return slotCount; }
  bool CaseSensitive() const { return caseSensitive; }
  const SearchHints& Hints() const { return hints; }

 private:
  friend class PatternCompiler;

  int32_t errorCode = kPatternOk;
  std::vector<PatternInstruction> instructions;
  uint32_t captureCount = 0;
  uint32_t slotCount = 0;
  bool caseSensitive = true;
  // Derived from the instructions after a successful compilation; lets the
  // search skip work whose outcome is already known.
  SearchHints hints;
};

}  // namespace quorvane
