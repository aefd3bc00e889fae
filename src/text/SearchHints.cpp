#include "text/SearchHints.h"

#include <algorithm>

#include "text/PatternProgram.h"

namespace quorvane {
namespace {

void AddRange(std::vector<uint64_t>& set, uint32_t lower, uint32_t upper) {
  if (upper > 0xFFFF) upper = 0xFFFF;
  while (lower <= upper) {
    const uint32_t bit = lower & 63;
    const uint32_t count = std::min<uint32_t>(64 - bit, upper - lower + 1);
    const uint64_t run = count == 64 ? ~uint64_t{0} : ((uint64_t{1} << count) - 1);
    set[lower >> 6] |= run << bit;
    lower += count;
  }
}

// Every character that the first consuming instruction reachable from the
// start of the body could accept. Paths that may accept without consuming,
// or that depend on saved state, make any character possible.
std::vector<uint64_t> FirstCharacters(const std::vector<PatternInstruction>& code) {
  std::vector<uint64_t> set(1024, 0);
  std::vector<uint8_t> seen(code.size(), 0);
  std::vector<size_t> work{2};
  while (!work.empty()) {
    const size_t pc = work.back();
    work.pop_back();
    if (pc >= code.size()) return {};
    if (seen[pc]) continue;
    seen[pc] = 1;
    const PatternInstruction& in = code[pc];
    switch (in.kind) {
      case PatternKind::MatchChar:
        if (in.operand != 0) AddRange(set, in.operand, in.operand);
        break;
      case PatternKind::MatchInRanges:
        for (size_t i = pc + 1; i + 1 < static_cast<size_t>(in.operand); i += 2) {
          AddRange(set, code[i].operand, code[i + 1].operand);
        }
        break;
      case PatternKind::MatchNotInRanges: {
        std::vector<uint64_t> excluded(1024, 0);
        for (size_t i = pc + 1; i + 1 < static_cast<size_t>(in.operand); i += 2) {
          AddRange(excluded, code[i].operand, code[i + 1].operand);
        }
        for (size_t w = 0; w < set.size(); ++w) set[w] |= ~excluded[w];
        break;
      }
      case PatternKind::Jump:
        work.push_back(static_cast<size_t>(in.operand));
        break;
      case PatternKind::Branch:
        work.push_back(static_cast<size_t>(in.operand));
        work.push_back(pc + 1);
        break;
      case PatternKind::Fail:
      case PatternKind::NextStart:
      case PatternKind::StopSearch:
        break;
      case PatternKind::MatchAnyChar:
      case PatternKind::Accept:
      case PatternKind::StoreStackDepthInSlot:
      case PatternKind::LoadPositionFromSlot:
      case PatternKind::LoadStackDepthFromSlot:
      case PatternKind::MatchBackReference:
        return {};
      default:
        work.push_back(pc + 1);
        break;
    }
  }
  return set;
}

// One instruction that consumes exactly one character; `next` is where
// it continues.
bool IsOneCharTest(const std::vector<PatternInstruction>& code, size_t at, size_t& next) {
  if (at >= code.size()) return false;
  const PatternInstruction& in = code[at];
  switch (in.kind) {
    case PatternKind::MatchChar:
      next = at + 1;
      return in.operand != 0;
    case PatternKind::MatchAnyChar:
      next = at + 1;
      return true;
    case PatternKind::MatchInRanges:
    case PatternKind::MatchNotInRanges:
      next = static_cast<size_t>(in.operand);
      return true;
    default:
      return false;
  }
}

bool Is(const std::vector<PatternInstruction>& code, size_t at, PatternKind kind, int64_t operand) {
  return at < code.size() && code[at].kind == kind && code[at].operand == operand;
}

// The literal characters at the start of every match: straight-line code
// from the body's start through group and capture openings. Without a
// capture among them, also where an attempt may begin past the prefix and
// what the skipped group openings push.
void LiteralPrefix(const std::vector<PatternInstruction>& code, SearchHints& hints) {
  std::u16string prefix;
  std::vector<uint32_t> pushes{1};  // the whole pattern's opening branch
  bool capture = false;
  size_t pc = 2;
  while (pc < code.size() && prefix.size() < 64) {
    const PatternInstruction& in = code[pc];
    if (in.kind == PatternKind::MatchChar && in.operand != 0) {
      prefix += static_cast<char16_t>(in.operand);
      ++pc;
    } else if (in.kind == PatternKind::Branch && pc + 1 < code.size() &&
               code[pc + 1].kind == PatternKind::Fail) {
      pushes.push_back(static_cast<uint32_t>(pc + 1));
      pc = static_cast<size_t>(in.operand);  // a group's opening
    } else if (in.kind == PatternKind::SaveCapture && pc + 4 < code.size() &&
               code[pc + 2].kind == PatternKind::Branch && code[pc + 4].kind == PatternKind::Fail) {
      capture = true;
      pc = static_cast<size_t>(code[pc + 2].operand);  // a capture's opening
    } else if (in.kind == PatternKind::NoOp) {
      ++pc;
    } else {
      break;
    }
  }
  hints.prefix = prefix;
  if (!prefix.empty() && !capture) {
    hints.entryAfterPrefix = static_cast<uint32_t>(pc);
    hints.entryPushes = std::move(pushes);
  }
}

uint8_t FastLoopAt(const std::vector<PatternInstruction>& code, size_t h) {
  size_t next = 0;
  const int32_t s = code[h].operand;
  if (code[h].kind == PatternKind::SaveSlot && Is(code, h + 1, PatternKind::StorePositionInSlot, s) &&
      Is(code, h + 2, PatternKind::SavePosition, 0) && Is(code, h + 3, PatternKind::Branch, h + 7) &&
      Is(code, h + 4, PatternKind::RestorePosition, 0) && Is(code, h + 5, PatternKind::RestoreSlot, s) &&
      IsOneCharTest(code, h + 7, next) && Is(code, next, PatternKind::FailIfNoProgress, s) &&
      Is(code, next + 1, PatternKind::StorePositionInSlot, s) && Is(code, next + 2, PatternKind::Jump, h) &&
      Is(code, h + 6, PatternKind::Jump, next + 3)) {
    return kLoopGreedyOne;
  }
  // "(x|y)*": the group's and the alternation's own entries around two
  // single-character tests.
  const size_t b = h + 7, a = h + 9;
  size_t afterX = 0, afterY = 0;
  if (code[h].kind == PatternKind::SaveSlot && Is(code, h + 1, PatternKind::StorePositionInSlot, s) &&
      Is(code, h + 2, PatternKind::SavePosition, 0) && Is(code, h + 3, PatternKind::Branch, h + 7) &&
      Is(code, h + 4, PatternKind::RestorePosition, 0) && Is(code, h + 5, PatternKind::RestoreSlot, s) &&
      Is(code, b, PatternKind::Branch, b + 2) && Is(code, b + 1, PatternKind::Fail, 0) &&
      Is(code, a, PatternKind::SavePosition, 0) && Is(code, a + 1, PatternKind::Branch, a + 4) &&
      Is(code, a + 2, PatternKind::RestorePosition, 0) && IsOneCharTest(code, a + 4, afterX) &&
      a + 3 < code.size() && code[a + 3].kind == PatternKind::Jump &&
      code[a + 3].operand == static_cast<int32_t>(afterX + 1) && IsOneCharTest(code, afterX + 1, afterY) &&
      Is(code, afterX, PatternKind::Jump, afterY) && Is(code, afterY, PatternKind::FailIfNoProgress, s) &&
      Is(code, afterY + 1, PatternKind::StorePositionInSlot, s) && Is(code, afterY + 2, PatternKind::Jump, h) &&
      Is(code, h + 6, PatternKind::Jump, afterY + 3)) {
    return kLoopGreedyEither;
  }
  if (code[h].kind == PatternKind::SavePosition && h + 1 < code.size() &&
      code[h + 1].kind == PatternKind::Branch && Is(code, h + 2, PatternKind::RestorePosition, 0) &&
      IsOneCharTest(code, h + 3, next) && Is(code, next, PatternKind::Jump, h) &&
      code[h + 1].operand == static_cast<int32_t>(next + 1) && next + 1 < code.size() &&
      code[next + 1].kind == PatternKind::MatchChar && code[next + 1].operand != 0) {
    return kLoopLazyOne;
  }
  return kLoopNone;
}

}  // namespace

SearchHints AnalyseProgram(const std::vector<PatternInstruction>& code,
                           const std::vector<uint8_t>& notes, const ProgramTraits& traits) {
  SearchHints hints;
  hints.boundedWork = traits.lazyLoopOverEmpty;
  // Such a program ends the whole search when its budget runs out at some
  // start position; skipping start positions would change which searches
  // get that far, so it runs without shortcuts.
  if (hints.boundedWork) return hints;
  hints.firstChars = FirstCharacters(code);
  LiteralPrefix(code, hints);
  hints.literalsInOrder = traits.literalsInOrder;
  hints.fastLoop.assign(code.size(), kLoopNone);
  bool anyLoop = false;
  for (size_t i = 0; i < code.size(); ++i) {
    hints.fastLoop[i] = FastLoopAt(code, i);
    anyLoop = anyLoop || hints.fastLoop[i] != kLoopNone;
  }
  if (!anyLoop) hints.fastLoop.clear();
  if (!traits.hasLookAhead && !traits.hasBackReference && !traits.lazyLoopOverEmpty) {
    hints.memoPoint.assign(code.size(), -1);
    for (size_t i = 0; i < code.size(); ++i) {
      const bool head = (notes[i] & (kNoteGreedyHead | kNoteLazyHead)) != 0;
      if (head && !(notes[i] & kNoteInEmptyLoop)) {
        hints.memoPoint[i] = static_cast<int32_t>(hints.memoPointCount++);
      }
    }
    if (hints.memoPointCount == 0) hints.memoPoint.clear();
  }
  return hints;
}

}  // namespace quorvane
