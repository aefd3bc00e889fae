#pragma once
// Replacement of pattern matches in a wide string.
#include <cstdint>
#include <string>
#include <string_view>

#include "text/MatchState.h"
#include "text/PatternProgram.h"

namespace quorvane {

// Results of PatternReplace.
enum ReplaceResult : int32_t {
  kReplaced = 0,
  kReplaceBadPattern = 2,
  kReplaceNoMatch = 3,
};

// Compiles `pattern` into `program` and replaces its first match in `text`
// (every match with `global`) by `replacement`; with `expand`, "$1", "$2"...
// in the replacement stand for captures 0, 1... of each match. Each search
// after a match runs on the remainder as a text of its own ("^" matches at
// its start). After an empty match one character is copied before
// searching on, so the replacement always ends. 2 and 3 leave `text` as
// it was.
int32_t PatternReplace(std::u16string& text, const char16_t* pattern,
                       std::u16string_view replacement, bool global, bool expand,
                       bool caseSensitive, PatternProgram& program);

// PatternReplace with a program compiled beforehand (it is not changed).
int32_t ReplaceMatches(std::u16string& text, const PatternProgram& program,
                       std::u16string_view replacement, bool global, bool expand);

// Replaces "$k" in `replacement` by the text of capture k-1 of `state`,
// for k = 1 up to the capture count in increasing order, each through a
// global PatternReplace of the pattern "{$k}" compiled into `program`.
// Returns the last result (3 when there is no capture).
int32_t ExpandReplacement(std::u16string& replacement, PatternProgram& program,
                          const MatchState& state);

}  // namespace quorvane
