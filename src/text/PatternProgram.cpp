#include "text/PatternProgram.h"

#include <new>
#include <string>

#include "text/CaseFolding.h"
#include "text/MatchState.h"
#include "text/PatternCompiler.h"
#include "text/PatternSearch.h"

namespace quorvane {

namespace {

struct KindInfo {
  PatternKind kind;
  const char* name;
  OperandRole operand;
};

constexpr KindInfo kKinds[] = {
    {PatternKind::NoOp, "NoOp", OperandRole::None},
    {PatternKind::MarkCaptureStart, "MarkCaptureStart", OperandRole::Capture},
    {PatternKind::MarkCaptureEnd, "MarkCaptureEnd", OperandRole::Capture},
    {PatternKind::MatchChar, "MatchChar", OperandRole::Character},
    {PatternKind::MatchAnyChar, "MatchAnyChar", OperandRole::None},
    {PatternKind::MatchInRanges, "MatchInRanges", OperandRole::Index},
    {PatternKind::MatchNotInRanges, "MatchNotInRanges", OperandRole::Index},
    {PatternKind::Jump, "Jump", OperandRole::Index},
    {PatternKind::SavePosition, "SavePosition", OperandRole::None},
    {PatternKind::RestorePosition, "RestorePosition", OperandRole::None},
    {PatternKind::Branch, "Branch", OperandRole::Index},
    {PatternKind::Fail, "Fail", OperandRole::None},
    {PatternKind::SaveSlot, "SaveSlot", OperandRole::Slot},
    {PatternKind::RestoreSlot, "RestoreSlot", OperandRole::Slot},
    {PatternKind::StorePositionInSlot, "StorePositionInSlot", OperandRole::Slot},
    {PatternKind::StoreStackDepthInSlot, "StoreStackDepthInSlot", OperandRole::Slot},
    {PatternKind::LoadPositionFromSlot, "LoadPositionFromSlot", OperandRole::Slot},
    {PatternKind::LoadStackDepthFromSlot, "LoadStackDepthFromSlot", OperandRole::Slot},
    {PatternKind::FailIfNoProgress, "FailIfNoProgress", OperandRole::Slot},
    {PatternKind::MatchBackReference, "MatchBackReference", OperandRole::Capture},
    {PatternKind::StopSearch, "StopSearch", OperandRole::None},
    {PatternKind::NextStart, "NextStart", OperandRole::None},
    {PatternKind::Accept, "Accept", OperandRole::None},
    {PatternKind::SaveCapture, "SaveCapture", OperandRole::Capture},
    {PatternKind::RestoreCapture, "RestoreCapture", OperandRole::Capture},
};

const KindInfo* FindKind(PatternKind kind) {
  for (const KindInfo& info : kKinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

}  // namespace

const char* PatternKindName(PatternKind kind) {
  const KindInfo* info = FindKind(kind);
  return info ? info->name : nullptr;
}

OperandRole PatternOperandRole(PatternKind kind) {
  const KindInfo* info = FindKind(kind);
  return info ? info->operand : OperandRole::None;
}

int32_t PatternProgram::CompilePattern(const char16_t* pattern, bool caseSensitiveFlag) {
  instructions.clear();
  instructions.shrink_to_fit();
  captureCount = 0;
  slotCount = 0;
  hints = SearchHints{};
  caseSensitive = caseSensitiveFlag;
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
