#include "text/PatternSearch.h"

#include <algorithm>
#include <new>

namespace quorvane {
namespace {

template <bool kCountSteps>
bool Run(const PatternProgram& program, const SearchHints& hints, std::u16string_view text,
         MatchState& state) {
  const PatternInstruction* const code = program.Instructions().data();
  const uint32_t codeSize = static_cast<uint32_t>(program.Instructions().size());
  const char16_t* const s = text.data();
  const uint32_t n = static_cast<uint32_t>(text.size());
  const int32_t* const memoPoint = hints.memoPoint.empty() ? nullptr : hints.memoPoint.data();
  SearchMemo& memo = state.memo;
  const size_t memoBase = memoPoint ? memo.Offset(s) : 0;
  uint32_t* const slots = state.slots.data();
  CaptureExtent* const caps = state.captures.data();
  const uint64_t limit = std::max(kStackFloor, kStackPerChar * (uint64_t{n} + 1));
  uint64_t budget = kStepFloor + kStepsPerChar * (uint64_t{n} + 1);
  const bool anchored = codeSize > 1 && code[1].kind == PatternKind::StopSearch;
  const bool skipStarts = n > 0 && !hints.firstChars.empty();

  uint32_t* stack = state.stack.data();
  uint64_t room = state.stack.size();
  uint32_t depth = 0;
  auto grow = [&]() -> bool {
    if (depth >= limit) return false;
    const uint64_t wanted = std::min<uint64_t>(2 * (uint64_t{depth} + 1) + 2, limit);
    try {
      state.stack.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
      return false;
    }
    stack = state.stack.data();
    room = state.stack.size();
    return true;
  };
#define QUORVANE_PUSH(value)                   \
  do {                                         \
    if (depth == room && !grow()) return false; \
    stack[depth++] = (value);                  \
  } while (0)

  uint32_t start = 0;
  for (;;) {
    if (skipStarts) {
      if (hints.onlyFirstChar >= 0) {
        const char16_t want = static_cast<char16_t>(hints.onlyFirstChar);
        while (start < n && s[start] != want) ++start;
      } else {
        while (start < n && !hints.MayBegin(s[start])) ++start;
      }
      if (start >= n || (anchored && start != 0)) return false;
    }
    uint32_t pos = start;
    uint32_t pc = 0;
    depth = 0;
    state.matchStart = start;
    for (;;) {
      if constexpr (kCountSteps) {
        if (--budget == 0) return false;
      }
      const PatternInstruction in = code[pc];
      const int32_t op = in.operand;
      switch (in.kind) {
        case PatternKind::NoOp:
          ++pc;
          continue;
        case PatternKind::MarkCaptureStart:
          caps[op].start = pos;
          ++pc;
          continue;
        case PatternKind::MarkCaptureEnd:
          caps[op].end = pos;
          ++pc;
          continue;
        case PatternKind::MatchChar:
          if (op == 0) {
            if (pos == n) {
              ++pc;
              continue;
            }
          } else if (pos < n && s[pos] == static_cast<char16_t>(op)) {
            ++pos;
            ++pc;
            continue;
          }
          break;
        case PatternKind::MatchAnyChar:
          if (pos < n) {
            ++pos;
            ++pc;
            continue;
          }
          break;
        case PatternKind::MatchInRanges:
        case PatternKind::MatchNotInRanges: {
          if (pos == n) break;
          const int32_t c = s[pos];
          bool inside = false;
          for (int32_t i = static_cast<int32_t>(pc) + 1; i + 1 < op; i += 2) {
            if (code[i].operand <= c && c <= code[i + 1].operand) {
              inside = true;
              break;
            }
          }
          if (inside != (in.kind == PatternKind::MatchInRanges)) break;
          ++pos;
          pc = static_cast<uint32_t>(op);
          continue;
        }
        case PatternKind::Jump:
          pc = static_cast<uint32_t>(op);
          continue;
        case PatternKind::SaveSlot:
        case PatternKind::SavePosition:
          if (memoPoint && memoPoint[pc] >= 0) {
            const uint32_t point = static_cast<uint32_t>(memoPoint[pc]);
            if (memo.Failed(point, memoBase + pos)) break;
            QUORVANE_PUSH(pos);
            QUORVANE_PUSH(codeSize + point);
          }
          QUORVANE_PUSH(in.kind == PatternKind::SaveSlot ? slots[op] : pos);
          ++pc;
          continue;
        case PatternKind::RestorePosition:
          if (depth == 0) return false;
          pos = stack[--depth];
          ++pc;
          continue;
        case PatternKind::Branch:
          QUORVANE_PUSH(pc + 1);
          pc = static_cast<uint32_t>(op);
          continue;
        case PatternKind::Fail:
          break;
        case PatternKind::RestoreSlot:
          if (depth == 0) return false;
          slots[op] = stack[--depth];
          ++pc;
          continue;
        case PatternKind::StorePositionInSlot:
          slots[op] = pos;
          ++pc;
          continue;
        case PatternKind::StoreStackDepthInSlot:
          slots[op] = depth;
          ++pc;
          continue;
        case PatternKind::LoadPositionFromSlot:
          pos = slots[op];
          ++pc;
          continue;
        case PatternKind::LoadStackDepthFromSlot:
          if (slots[op] > depth) return false;
          depth = slots[op];
          ++pc;
          continue;
        case PatternKind::FailIfNoProgress:
          if (pos == slots[op]) break;
          ++pc;
          continue;
        case PatternKind::MatchBackReference: {
          const CaptureExtent c = caps[op];
          const uint32_t length = (c.end > c.start && c.end <= n) ? c.end - c.start : 0;
          if (length > n - pos) break;
          if (!std::equal(s + c.start, s + c.start + length, s + pos)) break;
          pos += length;
          ++pc;
          continue;
        }
        case PatternKind::StopSearch:
          return false;
        case PatternKind::NextStart:
          goto next_start;
        case PatternKind::Accept:
          state.matchEnd = pos;
          state.stackDepth = depth;
          return true;
        case PatternKind::SaveCapture:
          QUORVANE_PUSH(caps[op].start);
          QUORVANE_PUSH(caps[op].end);
          ++pc;
          continue;
        case PatternKind::RestoreCapture:
          if (depth < 2) return false;
          caps[op].end = stack[--depth];
          caps[op].start = stack[--depth];
          ++pc;
          continue;
        default:
          return false;
      }
      // Failure: go back to the most recent branch point. Entries at or
      // above the code size mark a loop head's continuation, which has now
      // failed for good at the position stored beneath.
      for (;;) {
        if (depth == 0) return false;
        const uint32_t top = stack[--depth];
        if (top < codeSize) {
          pc = top;
          break;
        }
        const uint32_t at = stack[--depth];
        memo.MarkFailed(top - codeSize, memoBase + at);
      }
    }
  next_start:
    if (anchored || uint64_t{start} + 1 >= n) return false;
    ++start;
  }
#undef QUORVANE_PUSH
}

bool Prepare(const PatternProgram& program, std::u16string_view text, MatchState& state) {
  if (program.ErrorCode() != kPatternOk || program.Instructions().empty()) return false;
  if (text.size() > 0x7FFFFFF0u - program.Instructions().size()) return false;
  try {
    state.captureCount = program.CaptureCount();
    state.slots.assign(program.SlotCount(), 0);
    state.captures.assign(program.CaptureCount(), CaptureExtent{});
    if (state.stack.empty()) state.stack.resize(256);
  } catch (const std::bad_alloc&) {
    return false;
  }
  state.subject = text;
  state.stackDepth = 0;
  return true;
}

}  // namespace

bool SearchText(const PatternProgram& program, std::u16string_view text, MatchState& state,
                bool continuing) {
  if (!Prepare(program, text, state)) return false;
  const SearchHints& hints = program.Hints();
  if (hints.memoPointCount > 0) {
    state.memo.Prepare(text.data(), text.size(), hints.memoPointCount, continuing);
  }
  return hints.boundedWork ? Run<true>(program, hints, text, state)
                           : Run<false>(program, hints, text, state);
}

bool SearchTextWithoutShortcuts(const PatternProgram& program, std::u16string_view text,
                                MatchState& state) {
  if (!Prepare(program, text, state)) return false;
  SearchHints plain;
  plain.boundedWork = program.Hints().boundedWork;
  return plain.boundedWork ? Run<true>(program, plain, text, state)
                           : Run<false>(program, plain, text, state);
}

}  // namespace quorvane
