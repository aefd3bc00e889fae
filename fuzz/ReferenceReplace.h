#pragma once
// Replacement written the plain way the engine's rules describe it: a
// fresh search by the reference matcher, then recursion on a copy of the
// remainder. Slow by design; the fuzzers compare the engine against it.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "ReferenceSearch.h"
#include "text/CaseFolding.h"
#include "text/MatchState.h"
#include "text/PatternProgram.h"

namespace quorvane::fuzz {

struct TooDeep : std::runtime_error {
  TooDeep() : std::runtime_error("too deep or too long to compare") {}
};

inline int32_t ReferenceReplace(std::u16string& text, const char16_t* pattern,
                                const std::u16string& replacement, bool global, bool expand,
                                bool caseSensitive, int depth = 0);

inline int32_t ReferenceExpand(std::u16string& replacement, const MatchState& state, int depth) {
  int32_t last = 3;
  for (uint32_t k = 1; k <= state.captureCount; ++k) {
    std::u16string pattern = u"{$";
    for (char c : std::to_string(k)) pattern += static_cast<char16_t>(c);
    pattern += u'}';
    last = ReferenceReplace(replacement, pattern.c_str(), std::u16string(state.CaptureText(k - 1)),
                            true, false, true, depth + 1);
    if (last != 0 && last != 3) return last;
  }
  return last;
}

// One level of the recursion, with the pattern compiled once by the caller.
inline int32_t ReferenceLevel(std::u16string& text, const PatternProgram& program,
                              const std::u16string& replacement, bool global, bool expand,
                              bool caseSensitive, int depth) {
  if (depth > 1500) throw TooDeep();
  const std::u16string searched = caseSensitive ? text : FoldCase(text);
  MatchState state;
  // The reference is exponential on some texts where the engine is not
  // (e.g. "<" and many line feeds for "<([^>]|\n)*>"): give up comparing.
  const ReferenceResult found = ReferenceSearch::Run(program, searched, state);
  if (found == ReferenceResult::TooLong) throw TooDeep();
  if (found == ReferenceResult::Malformed) {
    std::fprintf(stderr, "the reference ran outside the program\n");
    std::abort();
  }
  if (found == ReferenceResult::NoMatch) return 3;
  state.subject = text;
  const size_t start = state.matchStart;
  const size_t end = state.matchEnd;
  std::u16string expanded = replacement;
  if (expand) ReferenceExpand(expanded, state, depth);
  std::u16string stepped;  // the character copied past an empty match
  std::u16string remainder = text.substr(end);
  if (global) {
    bool searchOn = true;
    if (end == start) {
      if (end >= text.size()) {
        searchOn = false;
      } else {
        stepped = text.substr(end, 1);
        remainder = text.substr(end + 1);
      }
    }
    if (searchOn) {
      const int32_t r =
          ReferenceLevel(remainder, program, replacement, true, expand, caseSensitive, depth + 1);
      if (r != 0 && r != 3) return r;
    }
  }
  text = text.substr(0, start) + expanded + stepped + remainder;
  return 0;
}

inline int32_t ReferenceReplace(std::u16string& text, const char16_t* pattern,
                                const std::u16string& replacement, bool global, bool expand,
                                bool caseSensitive, int depth) {
  PatternProgram program;
  if (program.CompilePattern(pattern, caseSensitive ? 1 : 0) != 0) return 2;
  return ReferenceLevel(text, program, replacement, global, expand, caseSensitive, depth);
}

}  // namespace quorvane::fuzz
