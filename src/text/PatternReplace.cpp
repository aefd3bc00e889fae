#include "text/PatternReplace.h"

#include "text/CaseFolding.h"
#include "text/PatternSearch.h"

namespace quorvane {

int32_t PatternReplace(std::u16string& text, const char16_t* pattern,
                       std::u16string_view replacement, bool global, bool expand,
                       bool caseSensitive, PatternProgram& program) {
  if (program.CompilePattern(pattern, caseSensitive) != kPatternOk) {
    return kReplaceBadPattern;
  }
  return ReplaceMatches(text, program, replacement, global, expand);
}

namespace {

// The global replacement as one pass over the text: each match is handed
// over while the search goes on in the remainder. The result is built
// only from the first match that changes something.
struct Replacement {
  std::u16string_view original;
  std::u16string_view replacement;
  bool global = false;
  bool expand = false;
  size_t offset = 0;  // start of the remainder being searched
  size_t copied = 0;  // end of the original text already in `result`
  bool matched = false;
  bool building = false;
  std::u16string result;
  std::u16string expanded;
  PatternProgram expansionProgram;

  void Emit(size_t from, size_t to, std::u16string_view with) {
    if (!building) {
      if (original.substr(from, to - from) == with) return;
      building = true;
      result.reserve(original.size());
    }
    result.append(original.substr(copied, from - copied));
    result.append(with);
    copied = to;
  }

  static uint64_t OnMatch(void* context, MatchState& state) {
    auto& self = *static_cast<Replacement*>(context);
    const size_t start = self.offset + state.matchStart;
    const size_t end = self.offset + state.matchEnd;
    self.matched = true;
    std::u16string_view with = self.replacement;
    if (self.expand && state.captureCount > 0) {
      state.subject = self.original.substr(self.offset);
      self.expanded.assign(self.replacement);
      ExpandReplacement(self.expanded, self.expansionProgram, state);
      with = self.expanded;
    }
    self.Emit(start, end, with);
    if (!self.global) return kStopSearching;
    size_t next = end;
    if (end == start) {
      // An empty match would be found again at once: step over one
      // character, or stop at the end of the text.
      if (end >= self.original.size()) return kStopSearching;
      next = end + 1;
    }
    const uint64_t advance = next - self.offset;
    self.offset = next;
    return advance;
  }
};

}  // namespace

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
  Replacement pass;
  pass.original = text;
  pass.replacement = replacement;
  pass.global = global;
  pass.expand = expand;
  MatchState state;
  SearchRemainders(program, searched, state, &Replacement::OnMatch, &pass);
  if (!pass.matched) return kReplaceNoMatch;
  if (pass.building) {
    pass.result.append(pass.original.substr(pass.copied));
    text = std::move(pass.result);
  }
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
