#include "text/PatternReplace.h"

#include "text/CaseFolding.h"
#include "text/PatternSearch.h"

namespace quorvane {

int32_t PatternReplace(std::u16string& text, const char16_t* pattern,
                       std::u16string_view replacement, bool global, bool expand,
                       bool caseSensitive, PatternProgram& program) {
  if (program.CompilePattern(pattern, caseSensitive ? 1 : 0) != kPatternOk) {
    return kReplaceBadPattern;
  }
  return ReplaceMatches(text, program, replacement, global, expand);
}

int32_t ReplaceMatches(std::u16string& text, const PatternProgram& program,
                       std::u16string_view replacement, bool global, bool expand) {
  if (program.ErrorCode() != kPatternOk) return kReplaceBadPattern;
  // Remainders are searched in place: a suffix of the (folded) text is the
  // same text as a copy of it would be, and its offsets map straight back.
  std::u16string folded;
  std::u16string_view searched = text;
  if (!program.CaseSensitive()) {
    folded = FoldCase(text);
    searched = folded;
  }
  const std::u16string_view original = text;
  MatchState state;
  PatternProgram expansionProgram;
  std::u16string result;
  std::u16string expanded;
  bool replacedAny = false;
  size_t offset = 0;  // start of the remainder being searched
  for (;;) {
    if (!SearchText(program, searched.substr(offset), state, replacedAny)) break;
    const size_t matchStart = offset + state.matchStart;
    const size_t matchEnd = offset + state.matchEnd;
    replacedAny = true;
    result.append(original, offset, matchStart - offset);
    if (expand) {
      state.subject = original.substr(offset);
      expanded.assign(replacement);
      ExpandReplacement(expanded, expansionProgram, state);
      result += expanded;
    } else {
      result += replacement;
    }
    offset = matchEnd;
    if (!global) break;
    if (matchEnd == matchStart) {
      // An empty match would be found again at once: step over one
      // character, or stop at the end of the text.
      if (matchEnd >= original.size()) break;
      result += original[matchEnd];
      offset = matchEnd + 1;
    }
  }
  if (!replacedAny) return kReplaceNoMatch;
  result.append(original, offset, std::u16string_view::npos);
  text = std::move(result);
  return kReplaced;
}

int32_t ExpandReplacement(std::u16string& replacement, PatternProgram& program,
                          const MatchState& state) {
  int32_t last = kReplaceNoMatch;
  for (uint32_t k = 1; k <= state.captureCount; ++k) {
    const std::u16string captured(state.CaptureText(k - 1));
    std::u16string pattern = u"{$";
    for (char c : std::to_string(k)) pattern += static_cast<char16_t>(c);
    pattern += u'}';
    last = PatternReplace(replacement, pattern.c_str(), captured, true, false, true, program);
    if (last != kReplaced && last != kReplaceNoMatch) return last;
  }
  return last;
}

}  // namespace quorvane
