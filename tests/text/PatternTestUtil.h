#pragma once
// Compact views of compiled programs and search results for the tests.
#include <string>
#include <string_view>

#include "text/MatchState.h"
#include "text/PatternProgram.h"
#include "text/PatternReplace.h"

namespace quorvane::test {

// "Branch 2; NextStart 0; ..." or "error N".
inline std::string Listing(const char16_t* pattern, bool caseSensitive = true) {
  PatternProgram program;
  const int32_t code = program.CompilePattern(pattern, caseSensitive);
  if (code != kPatternOk) return "error " + std::to_string(code);
  std::string out;
  for (const PatternInstruction& in : program.Instructions()) {
    if (!out.empty()) out += "; ";
    out += PatternKindName(in.kind);
    out += " " + std::to_string(in.operand);
  }
  return out;
}

inline int32_t CompileError(const char16_t* pattern, bool caseSensitive = true) {
  PatternProgram program;
  return program.CompilePattern(pattern, caseSensitive);
}

// "start end" followed by " | start end" per capture, or "nomatch".
inline std::string Find(const char16_t* pattern, std::u16string_view text,
                        bool caseSensitive = true) {
  PatternProgram program;
  const int32_t code = program.CompilePattern(pattern, caseSensitive);
  if (code != kPatternOk) return "error " + std::to_string(code);
  MatchState state;
  if (!program.MatchPattern(text, state)) return "nomatch";
  std::string out = std::to_string(state.matchStart) + " " + std::to_string(state.matchEnd);
  for (const CaptureExtent& c : state.captures) {
    out += " | " + std::to_string(c.start) + " " + std::to_string(c.end);
  }
  return out;
}

struct Replaced {
  int32_t result;
  std::u16string text;
  bool operator==(const Replaced&) const = default;
};

inline Replaced Replace(std::u16string text, const char16_t* pattern,
                        std::u16string_view replacement, bool global, bool expand = false,
                        bool caseSensitive = true) {
  PatternProgram program;
  const int32_t result =
      PatternReplace(text, pattern, replacement, global, expand, caseSensitive, program);
  return {result, text};
}

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace quorvane::test
