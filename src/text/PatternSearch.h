#pragma once
// The backtracking search behind MatchPattern, for callers that search a
// text already folded to the program's case and that search successive
// remainders of one buffer.
#include <cstdint>
#include <string_view>

#include "text/MatchState.h"
#include "text/PatternProgram.h"

namespace quorvane {

// Upper bound on the backtracking stack: 32 entries per character of the
// searched text, at least 2^20. The cleanup's patterns keep at most eight
// entries per character they have consumed (a loop repetition with its
// memo mark, group and alternation entries), plus a few, so they never
// reach it; patterns that push without consuming stop here without a match.
inline constexpr uint64_t kStackFloor = uint64_t{1} << 20;
inline constexpr uint64_t kStackPerChar = 32;
// Step budget for programs with a lazy loop over something that may match
// empty (the only programs that can cycle without pushing).
inline constexpr uint64_t kStepFloor = uint64_t{1} << 20;
inline constexpr uint64_t kStepsPerChar = 1024;

// Searches `text` as a text of its own: start positions from its first
// character, "^" only there. Offsets in `state` are relative to `text`.
// With `continuing`, failures remembered by an earlier search of a longer
// remainder of the same buffer are reused.
bool SearchText(const PatternProgram& program, std::u16string_view text, MatchState& state,
                bool continuing);

// Called with every match of SearchRemainders (offsets relative to the
// remainder searched). Returns where the next remainder begins, counted
// from the start of the current one, or kStopSearching.
inline constexpr uint64_t kStopSearching = ~uint64_t{0};
using MatchSink = uint64_t (*)(void* context, MatchState& state);

// Searches `text`, then after each match the remainder the sink names, as
// a text of its own, until the sink stops or a search finds nothing (or
// ends on its bounds). Returns whether the last search matched.
bool SearchRemainders(const PatternProgram& program, std::u16string_view text, MatchState& state,
                      MatchSink sink, void* context);

}  // namespace quorvane
