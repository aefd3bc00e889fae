#include "text/PatternProgram.h"

#include <new>
#include <string>

#include "text/CaseFolding.h"
#include "text/MatchState.h"
#include "text/PatternCompiler.h"
#include "text/PatternSearch.h"

namespace quorvane {

const char* PatternKindName(PatternKind kind) {
  switch (kind) {
    case PatternKind::NoOp: return "NoOp";
    case PatternKind::MarkCaptureStart: return "MarkCaptureStart";
    case PatternKind::MarkCaptureEnd: return "MarkCaptureEnd";
    case PatternKind::MatchChar: return "MatchChar";
    case PatternKind::MatchAnyChar: return "MatchAnyChar";
    case PatternKind::MatchInRanges: return "MatchInRanges";
    case PatternKind::MatchNotInRanges: return "MatchNotInRanges";
    case PatternKind::Jump: return "Jump";
    case PatternKind::SavePosition: return "SavePosition";
    case PatternKind::RestorePosition: return "RestorePosition";
    case PatternKind::Branch: return "Branch";
    case PatternKind::Fail: return "Fail";
    case PatternKind::SaveSlot: return "SaveSlot";
    case PatternKind::RestoreSlot: return "RestoreSlot";
    case PatternKind::StorePositionInSlot: return "StorePositionInSlot";
    case PatternKind::StoreStackDepthInSlot: return "StoreStackDepthInSlot";
    case PatternKind::LoadPositionFromSlot: return "LoadPositionFromSlot";
    case PatternKind::LoadStackDepthFromSlot: return "LoadStackDepthFromSlot";
    case PatternKind::FailIfNoProgress: return "FailIfNoProgress";
    case PatternKind::MatchBackReference: return "MatchBackReference";
    case PatternKind::StopSearch: return "StopSearch";
    case PatternKind::NextStart: return "NextStart";
    case PatternKind::Accept: return "Accept";
    case PatternKind::SaveCapture: return "SaveCapture";
    case PatternKind::RestoreCapture: return "RestoreCapture";
  }
  return nullptr;
}

int32_t PatternProgram::CompilePattern(const char16_t* pattern, int32_t caseSensitiveFlag) {
  instructions.clear();
  instructions.shrink_to_fit();
  captureCount = 0;
  slotCount = 0;
  hints = SearchHints{};
  caseSensitive = caseSensitiveFlag != 0 ? 1 : 0;
  errorCode = kPatternOk;
  if (pattern == nullptr) return errorCode = kPatternMissing;

  std::u16string_view text(pattern);
  std::u16string lowered;
  if (!caseSensitive) {
    try {
      lowered = FoldCase(text);
    } catch (const std::bad_alloc&) {
      return errorCode = kPatternNoMemory;
    }
    text = lowered;
  }
  errorCode = PatternCompiler(*this).Compile(text);
  if (errorCode != kPatternOk) {
    instructions.clear();
    captureCount = 0;
    slotCount = 0;
    hints = SearchHints{};
  }
  return errorCode;
}

bool PatternProgram::MatchPattern(std::u16string_view text, MatchState& state) const {
  if (errorCode != kPatternOk) return false;
  std::u16string folded;
  std::u16string_view searched = text;
  if (!caseSensitive) {
    try {
      folded = FoldCase(text);
    } catch (const std::bad_alloc&) {
      return false;
    }
    searched = folded;
  }
  const bool found = SearchText(*this, searched, state, false);
  // Offsets are the same in the folded copy and in the caller's text.
  state.subject = text;
  return found;
}

bool PatternProgram::MatchPattern(const char16_t* text, MatchState* state) const {
  if (text == nullptr || state == nullptr) return false;
  return MatchPattern(std::u16string_view(text), *state);
}

}  // namespace quorvane
