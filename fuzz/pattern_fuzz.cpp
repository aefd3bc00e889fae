// Compiles a pattern and searches and replaces with it. Input: one byte of
// flags, then the pattern, a zero byte, the text, a zero byte, the
// replacement. Checks that the compiled program is well formed, that the
// engine's search finds what the independent reference matcher finds, and
// that the looping global replacement equals the plain recursive one.
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReferenceReplace.h"
#include "ReferenceSearch.h"
#include "text/PatternReplace.h"

using namespace quorvane;

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

void CheckWellFormed(const PatternProgram& program) {
  const auto& code = program.Instructions();
  const int32_t size = static_cast<int32_t>(code.size());
  for (const PatternInstruction& in : code) {
    Check(PatternKindName(in.kind) != nullptr, "known kind");
    const auto operand = static_cast<uint32_t>(in.operand);
    switch (PatternOperandRole(in.kind)) {
      case OperandRole::Index:
        Check(in.operand >= 0 && in.operand < size, "index operand in range");
        break;
      case OperandRole::Slot:
        Check(operand < program.SlotCount(), "slot operand in range");
        break;
      case OperandRole::Capture:
        Check(operand < program.CaptureCount(), "capture in range");
        break;
      case OperandRole::Character:
      case OperandRole::None:
        break;
    }
  }
  Check(size >= 3 && code.back().kind == PatternKind::Accept, "ends with Accept");
}

bool SameMatch(const MatchState& a, const MatchState& b) {
  if (a.matchStart != b.matchStart || a.matchEnd != b.matchEnd) return false;
  if (a.captures.size() != b.captures.size()) return false;
  for (size_t i = 0; i < a.captures.size(); ++i) {
    if (a.captures[i].start != b.captures[i].start || a.captures[i].end != b.captures[i].end) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const std::u16string all = fuzz::Widen(data + 1, size - 1);
  const size_t cut1 = all.find(u'\0');
  const std::u16string pattern = all.substr(0, cut1);
  std::u16string text, replacement;
  if (cut1 != std::u16string::npos) {
    const size_t cut2 = all.find(u'\0', cut1 + 1);
    text = all.substr(cut1 + 1, cut2 == std::u16string::npos ? std::u16string::npos : cut2 - cut1 - 1);
    if (cut2 != std::u16string::npos) replacement = all.substr(cut2 + 1);
  }
  const bool caseSensitive = (flags & 1) == 0;
  const bool global = (flags & 2) != 0;
  const bool expand = (flags & 4) != 0;

  PatternProgram program;
  const int32_t code = program.CompilePattern(pattern.c_str(), caseSensitive);
  Check(code >= 0 && code <= 10, "error code in range");
  if (code != kPatternOk) {
    MatchState state;
    Check(!program.MatchPattern(std::u16string_view(text), state), "failed program never matches");
    return 0;
  }
  CheckWellFormed(program);

  MatchState fast, reference;
  const bool found = program.MatchPattern(std::u16string_view(text), fast);
  const std::u16string folded = caseSensitive ? text : FoldCase(text);
  const fuzz::ReferenceResult expected = fuzz::ReferenceSearch::Run(program, folded, reference);
  Check(expected != fuzz::ReferenceResult::Malformed, "the program stays inside itself");
  if (expected == fuzz::ReferenceResult::TooLong) return 0;  // too long to compare
  Check(found == (expected == fuzz::ReferenceResult::Match), "search agrees with the reference");
  if (found) {
    Check(SameMatch(fast, reference), "extents agree with the reference");
    Check(fast.matchStart <= fast.matchEnd && fast.matchEnd <= text.size(), "match inside text");
  }

  std::u16string replaced = text;
  PatternProgram scratch;
  const int32_t r =
      PatternReplace(replaced, pattern.c_str(), replacement, global, expand, caseSensitive, scratch);
  Check(r == 0 || r == 3, "replace result");
  if (r == 3) Check(replaced == text, "no match leaves the text");
  try {
    std::u16string expected = text;
    const int32_t e = fuzz::ReferenceReplace(expected, pattern.c_str(), replacement, global, expand,
                                             caseSensitive);
    Check(e == r, "replace result equals the reference");
    Check(expected == replaced, "replaced text equals the reference");
  } catch (const fuzz::TooDeep&) {
  }
  return 0;
}
