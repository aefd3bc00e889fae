#include "text/PatternSearch.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "text/FindUnit.h"

namespace quorvane {
namespace {

// The single-character test at `at` (see IsOneCharTest) applied to `c`.
inline bool OneCharMatches(const PatternInstruction* code, uint32_t at, char16_t c) {
  const PatternInstruction in = code[at];
  switch (in.kind) {
    case PatternKind::MatchChar:
      return c == static_cast<char16_t>(in.operand);
    case PatternKind::MatchAnyChar:
      return true;
    default: {
      bool inside = false;
      for (int32_t i = static_cast<int32_t>(at) + 1; i + 1 < in.operand; i += 2) {
        if (code[i].operand <= c && c <= code[i + 1].operand) {
          inside = true;
          break;
        }
      }
      return inside == (in.kind == PatternKind::MatchInRanges);
    }
  }
}

// Makes room for one more entry, twice the new depth plus two, up to the
// limit; false when the limit is reached or memory is short.
[[gnu::noinline]] bool GrowStack(MatchState& state, uint32_t depth, uint64_t limit) {
  if (depth >= limit) return false;
  const uint64_t wanted = std::min<uint64_t>(2 * (uint64_t{depth} + 1) + 2, limit);
  try {
    state.stack.resize(static_cast<size_t>(wanted));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

struct LiteralSighting {
  const char16_t* from = nullptr;  // nullptr: not searched yet
  const char16_t* at = nullptr;    // nullptr: none at or after `from`
};

// Whether the literals occur in order, without overlap, at or after `p`.
bool LiteralsFollow(const std::vector<std::u16string>& literals,
                    std::vector<LiteralSighting>& found, const char16_t* origin,
                    const char16_t* end, const char16_t* p) {
  for (size_t i = 0; i < literals.size(); ++i) {
    const std::u16string& literal = literals[i];
    LiteralSighting& seen = found[i];
    const bool known = seen.from != nullptr && seen.from <= p && (seen.at == nullptr || seen.at >= p);
    if (!known) {
      seen.from = p;
      seen.at = nullptr;
      const size_t length = literal.size();
      for (const char16_t* q = p; static_cast<size_t>(end - q) >= length; ++q) {
        q = origin + FindUnit(origin, static_cast<size_t>(q - origin), static_cast<size_t>(end - origin),
                              literal[0]);
        if (static_cast<size_t>(end - q) < length) break;
        if (std::equal(literal.begin() + 1, literal.end(), q + 1)) {
          seen.at = q;
          break;
        }
      }
    }
    if (seen.at == nullptr) return false;
    p = seen.at + literal.size();
  }
  return true;
}

template <bool kCountSteps>
bool Run(const PatternProgram& program, const SearchHints& hints, std::u16string_view text,
         MatchState& state, MatchSink sink, void* context, uint64_t* stepLimit) {
  const PatternInstruction* const code = program.Instructions().data();
  const uint32_t codeSize = static_cast<uint32_t>(program.Instructions().size());
  const char16_t* s = text.data();
  uint32_t n = static_cast<uint32_t>(text.size());
  const int32_t* const memoPoint = hints.memoPoint.empty() ? nullptr : hints.memoPoint.data();
  const uint8_t* const fastLoop =
      (kCountSteps || hints.fastLoop.empty()) ? nullptr : hints.fastLoop.data();
  SearchMemo& memo = state.memo;
  size_t memoBase = memoPoint ? memo.Offset(s) : 0;
  uint32_t* const slots = state.slots.data();
  CaptureExtent* const caps = state.captures.data();
  uint64_t limit = std::max(kStackFloor, kStackPerChar * (uint64_t{n} + 1));
  uint64_t budget = stepLimit ? *stepLimit : kStepFloor + kStepsPerChar * (uint64_t{n} + 1);
  const bool anchored = codeSize > 1 && code[1].kind == PatternKind::StopSearch;
  const bool hasSkip = !hints.firstChars.empty() || !hints.prefix.empty();
  bool skipStarts = n > 0 && hasSkip;

  uint32_t* stack = state.stack.data();
  uint64_t room = state.stack.size();
  uint32_t depth = 0;
#define QUORVANE_PUSH(value)                                   \
  do {                                                         \
    if (depth == room) {                                       \
      if (!GrowStack(state, depth, limit)) return false;       \
      stack = state.stack.data();                              \
      room = state.stack.size();                               \
    }                                                          \
    stack[depth++] = (value);                                  \
  } while (0)

  // Threaded dispatch where the compiler supports it: one indirect jump
  // per handler predicts far better than one shared switch.
  PatternInstruction in{};
  int32_t op = 0;
#if defined(__GNUC__)
  static const void* const kHandlers[] = {
      &&op_NoOp,           &&op_MarkCaptureStart,      &&op_MarkCaptureEnd,
      &&op_MatchChar,      &&op_MatchAnyChar,          &&op_Unknown,
      &&op_Unknown,        &&op_MatchInRanges,         &&op_MatchNotInRanges,
      &&op_Unknown,        &&op_Unknown,               &&op_Unknown,
      &&op_Unknown,        &&op_Jump,                  &&op_SavePosition,
      &&op_RestorePosition, &&op_Branch,               &&failed,
      &&op_Unknown,        &&op_Unknown,               &&op_SaveSlot,
      &&op_RestoreSlot,    &&op_StorePositionInSlot,   &&op_StoreStackDepthInSlot,
      &&op_LoadPositionFromSlot, &&op_LoadStackDepthFromSlot, &&op_FailIfNoProgress,
      &&op_MatchBackReference, &&op_StopSearch,        &&op_NextStart,
      &&op_Accept,         &&op_SaveCapture,           &&op_RestoreCapture,
  };
#define QUORVANE_JUMP_TO_HANDLER()                                        \
  do {                                                                    \
    const uint32_t kind = static_cast<uint32_t>(in.kind);                 \
    if (kind >= std::size(kHandlers)) goto op_Unknown;                    \
    goto* kHandlers[kind];                                                \
  } while (0)
#else
#define QUORVANE_JUMP_TO_HANDLER()                                          \
  switch (in.kind) {                                                        \
    case PatternKind::NoOp: goto op_NoOp;                                   \
    case PatternKind::MarkCaptureStart: goto op_MarkCaptureStart;           \
    case PatternKind::MarkCaptureEnd: goto op_MarkCaptureEnd;               \
    case PatternKind::MatchChar: goto op_MatchChar;                         \
    case PatternKind::MatchAnyChar: goto op_MatchAnyChar;                   \
    case PatternKind::MatchInRanges: goto op_MatchInRanges;                 \
    case PatternKind::MatchNotInRanges: goto op_MatchNotInRanges;           \
    case PatternKind::Jump: goto op_Jump;                                   \
    case PatternKind::SavePosition: goto op_SavePosition;                   \
    case PatternKind::RestorePosition: goto op_RestorePosition;             \
    case PatternKind::Branch: goto op_Branch;                               \
    case PatternKind::Fail: goto failed;                                    \
    case PatternKind::SaveSlot: goto op_SaveSlot;                           \
    case PatternKind::RestoreSlot: goto op_RestoreSlot;                     \
    case PatternKind::StorePositionInSlot: goto op_StorePositionInSlot;     \
    case PatternKind::StoreStackDepthInSlot: goto op_StoreStackDepthInSlot; \
    case PatternKind::LoadPositionFromSlot: goto op_LoadPositionFromSlot;   \
    case PatternKind::LoadStackDepthFromSlot: goto op_LoadStackDepthFromSlot; \
    case PatternKind::FailIfNoProgress: goto op_FailIfNoProgress;           \
    case PatternKind::MatchBackReference: goto op_MatchBackReference;       \
    case PatternKind::StopSearch: goto op_StopSearch;                       \
    case PatternKind::NextStart: goto op_NextStart;                         \
    case PatternKind::Accept: goto op_Accept;                               \
    case PatternKind::SaveCapture: goto op_SaveCapture;                     \
    case PatternKind::RestoreCapture: goto op_RestoreCapture;               \
  }                                                                         \
  goto op_Unknown
#endif
#define DISPATCH()                                 \
  do {                                             \
    if constexpr (kCountSteps) {                   \
      if (--budget == 0) {                         \
        if (stepLimit) *stepLimit = 0;             \
        return false;                              \
      }                                            \
    }                                              \
    in = code[pc];                                 \
    op = in.operand;                               \
    QUORVANE_JUMP_TO_HANDLER();                    \
  } while (0)

  // Where each literal that every match contains was last found, as
  // (searched from, found at) in the whole buffer: start positions only
  // grow, so each stretch of text is scanned for it once.
  const std::vector<std::u16string>& literals = hints.literalsInOrder;
  std::vector<LiteralSighting> found(literals.size());
  const char16_t* const origin = s;
  const char16_t* const end = s + n;

  uint32_t start = 0;
  for (;;) {
    if (skipStarts) {
      if (!hints.prefix.empty()) {
        // An attempt where the prefix is not found fails in its
        // straight-line opening; skip it.
        const std::u16string_view prefix = hints.prefix;
        for (;; ++start) {
          start = static_cast<uint32_t>(FindUnit(s, start, n, prefix[0]));
          if (start >= n || n - start < prefix.size()) {
            start = n;
            break;
          }
          if (std::equal(prefix.begin() + 1, prefix.end(), s + start + 1)) break;
        }
      } else {
        while (start < n && !hints.MayBegin(s[start])) ++start;
      }
      if (start >= n || (anchored && start != 0)) return false;
    }
    if (!literals.empty() && !LiteralsFollow(literals, found, origin, end, s + start)) {
      return false;  // neither this start nor any later one can match
    }
    uint32_t pos = start;
    uint32_t pc = 0;
    depth = 0;
    state.matchStart = start;
    if (skipStarts && hints.entryAfterPrefix != 0) {
      // The prefix is there: do what its instructions would have done.
      for (uint32_t entry : hints.entryPushes) QUORVANE_PUSH(entry);
      pos += static_cast<uint32_t>(hints.prefix.size());
      pc = hints.entryAfterPrefix;
    }
    DISPATCH();

  op_NoOp:
    ++pc;
    DISPATCH();
  op_MarkCaptureStart:
    caps[op].start = pos;
    ++pc;
    DISPATCH();
  op_MarkCaptureEnd:
    caps[op].end = pos;
    ++pc;
    DISPATCH();
  op_MatchChar:
    if (op == 0) {
      if (pos != n) goto failed;
    } else {
      if (pos == n || s[pos] != static_cast<char16_t>(op)) goto failed;
      ++pos;
    }
    ++pc;
    DISPATCH();
  op_MatchAnyChar:
    if (pos == n) goto failed;
    ++pos;
    ++pc;
    DISPATCH();
  op_MatchInRanges:
  op_MatchNotInRanges:
    if (pos == n || !OneCharMatches(code, pc, s[pos])) goto failed;
    ++pos;
    pc = static_cast<uint32_t>(op);
    DISPATCH();
  op_Jump:
    pc = static_cast<uint32_t>(op);
    DISPATCH();
  op_SaveSlot:
  op_SavePosition:
    if (fastLoop && fastLoop[pc] == kLoopGreedyOne) {
      // One iteration per character, exactly as the "*" form's
      // instructions would run it, until the test fails; then its exit
      // path: pop the branch, restore position and slot.
      const uint32_t head = pc;
      const int32_t point = memoPoint ? memoPoint[head] : -1;
      for (;;) {
        if (point >= 0) {
          if (memo.Failed(static_cast<uint32_t>(point), memoBase + pos)) goto failed;
          QUORVANE_PUSH(pos);
          QUORVANE_PUSH(codeSize + static_cast<uint32_t>(point));
        }
        QUORVANE_PUSH(slots[op]);
        slots[op] = pos;
        QUORVANE_PUSH(pos);
        QUORVANE_PUSH(head + 4);
        if (pos < n && OneCharMatches(code, head + 7, s[pos])) {
          slots[op] = ++pos;
          continue;
        }
        --depth;
        pos = stack[--depth];
        slots[op] = stack[--depth];
        pc = static_cast<uint32_t>(code[head + 6].operand);
        break;
      }
      DISPATCH();
    }
    if (fastLoop && fastLoop[pc] == kLoopGreedyEither) {
      // As above for "(x|y)*": each iteration also pushes the group's
      // entry and, when x matched, the alternation's two.
      const uint32_t head = pc;
      const uint32_t alternation = head + 9;
      const uint32_t y = static_cast<uint32_t>(code[alternation + 3].operand);
      const int32_t point = memoPoint ? memoPoint[head] : -1;
      for (;;) {
        if (point >= 0) {
          if (memo.Failed(static_cast<uint32_t>(point), memoBase + pos)) goto failed;
          QUORVANE_PUSH(pos);
          QUORVANE_PUSH(codeSize + static_cast<uint32_t>(point));
        }
        QUORVANE_PUSH(slots[op]);
        slots[op] = pos;
        QUORVANE_PUSH(pos);
        QUORVANE_PUSH(head + 4);
        QUORVANE_PUSH(head + 8);
        if (pos < n && OneCharMatches(code, alternation + 4, s[pos])) {
          QUORVANE_PUSH(pos);
          QUORVANE_PUSH(alternation + 2);
          slots[op] = ++pos;
          continue;
        }
        if (pos < n && OneCharMatches(code, y, s[pos])) {
          slots[op] = ++pos;
          continue;
        }
        depth -= 2;
        pos = stack[--depth];
        slots[op] = stack[--depth];
        pc = static_cast<uint32_t>(code[head + 6].operand);
        break;
      }
      DISPATCH();
    }
    if (fastLoop && fastLoop[pc] == kLoopLazyOne) {
      // While the literal that follows cannot match here, trying the rest
      // fails at once and leaves the stack as it was: take the next
      // character directly.
      const uint32_t head = pc;
      const uint32_t rest = static_cast<uint32_t>(code[head + 1].operand);
      const char16_t literal = static_cast<char16_t>(code[rest].operand);
      const int32_t point = memoPoint ? memoPoint[head] : -1;
      for (;;) {
        if (point >= 0) {
          if (memo.Failed(static_cast<uint32_t>(point), memoBase + pos)) goto failed;
          QUORVANE_PUSH(pos);
          QUORVANE_PUSH(codeSize + static_cast<uint32_t>(point));
        }
        if (pos < n && s[pos] == literal) break;
        if (pos == n || !OneCharMatches(code, head + 3, s[pos])) goto failed;
        ++pos;
      }
      QUORVANE_PUSH(pos);
      QUORVANE_PUSH(head + 2);
      pc = rest;
      DISPATCH();
    }
    if (memoPoint && memoPoint[pc] >= 0) {
      const uint32_t point = static_cast<uint32_t>(memoPoint[pc]);
      if (memo.Failed(point, memoBase + pos)) goto failed;
      QUORVANE_PUSH(pos);
      QUORVANE_PUSH(codeSize + point);
    }
    QUORVANE_PUSH(in.kind == PatternKind::SaveSlot ? slots[op] : pos);
    ++pc;
    DISPATCH();
  op_RestorePosition:
    if (depth == 0) return false;
    pos = stack[--depth];
    ++pc;
    DISPATCH();
  op_Branch:
    QUORVANE_PUSH(pc + 1);
    pc = static_cast<uint32_t>(op);
    DISPATCH();
  op_RestoreSlot:
    if (depth == 0) return false;
    slots[op] = stack[--depth];
    ++pc;
    DISPATCH();
  op_StorePositionInSlot:
    slots[op] = pos;
    ++pc;
    DISPATCH();
  op_StoreStackDepthInSlot:
    slots[op] = depth;
    ++pc;
    DISPATCH();
  op_LoadPositionFromSlot:
    pos = slots[op];
    ++pc;
    DISPATCH();
  op_LoadStackDepthFromSlot:
    if (slots[op] > depth) return false;
    depth = slots[op];
    ++pc;
    DISPATCH();
  op_FailIfNoProgress:
    if (pos == slots[op]) goto failed;
    ++pc;
    DISPATCH();
  op_MatchBackReference: {
    const CaptureExtent c = caps[op];
    const uint32_t length = (c.end > c.start && c.end <= n) ? c.end - c.start : 0;
    if (length > n - pos || !std::equal(s + c.start, s + c.start + length, s + pos)) goto failed;
    pos += length;
    ++pc;
    DISPATCH();
  }
  op_StopSearch:
    return false;
  op_NextStart:
    goto next_start;
  op_Accept: {
    state.matchEnd = pos;
    state.stackDepth = depth;
    const uint64_t advance = sink(context, state);
    if (advance == kStopSearching) return true;
    // The next search runs on the remainder from `advance` on, as a text
    // of its own: fresh slots and captures, start positions from 0.
    s += advance;
    n -= static_cast<uint32_t>(advance);
    memoBase += advance;
    limit = std::max(kStackFloor, kStackPerChar * (uint64_t{n} + 1));
    budget = kStepFloor + kStepsPerChar * (uint64_t{n} + 1);
    skipStarts = n > 0 && hasSkip;
    std::fill(state.slots.begin(), state.slots.end(), 0u);
    std::fill(state.captures.begin(), state.captures.end(), CaptureExtent{});
    start = 0;
    continue;
  }
  op_SaveCapture:
    QUORVANE_PUSH(caps[op].start);
    QUORVANE_PUSH(caps[op].end);
    ++pc;
    DISPATCH();
  op_RestoreCapture:
    if (depth < 2) return false;
    caps[op].end = stack[--depth];
    caps[op].start = stack[--depth];
    ++pc;
    DISPATCH();
  op_Unknown:
    return false;

  failed:
    // Go back to the most recent branch point. Entries at or above the
    // code size mark a loop head's continuation, which has now failed for
    // good at the position stored beneath.
    for (;;) {
      if (depth == 0) return false;
      const uint32_t top = stack[--depth];
      if (top >= codeSize) {
        const uint32_t at = stack[--depth];
        memo.MarkFailed(top - codeSize, memoBase + at);
        continue;
      }
      pc = top;
      if (fastLoop && top >= 4 && fastLoop[top - 4] == kLoopGreedyOne) {
        // Giving back one repetition of a fast greedy loop: restore
        // position and slot, go on after the loop. When the loop is
        // followed by a literal that does not match there, that fails at
        // once; keep giving back without going through dispatch.
        const uint32_t head = top - 4;
        const int32_t slot = code[head].operand;
        const uint32_t after = static_cast<uint32_t>(code[head + 6].operand);
        const PatternInstruction next = code[after];
        const int32_t point = memoPoint ? memoPoint[head] : -1;
        bool resumed = true;
        for (;;) {
          pos = stack[--depth];
          slots[slot] = stack[--depth];
          if (next.kind != PatternKind::MatchChar || next.operand == 0 ||
              (pos < n && s[pos] == static_cast<char16_t>(next.operand))) {
            break;
          }
          // The literal failed: the next entry is this repetition's memo
          // mark (if any), then the previous repetition's branch.
          if (point >= 0 && depth >= 2 && stack[depth - 1] == codeSize + uint32_t(point)) {
            memo.MarkFailed(static_cast<uint32_t>(point), memoBase + stack[depth - 2]);
            depth -= 2;
          }
          if (depth == 0 || stack[depth - 1] != top) {
            resumed = false;  // not ours: fail on through the general path
            break;
          }
          --depth;
        }
        if (!resumed) continue;
        pc = after;
      }
      break;
    }
    DISPATCH();

  next_start:
    if (anchored || uint64_t{start} + 1 >= n) return false;
    ++start;
  }

#undef DISPATCH
#undef QUORVANE_JUMP_TO_HANDLER
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

uint64_t StopAtFirst(void*, MatchState&) { return kStopSearching; }

bool Search(const PatternProgram& program, const SearchHints& hints, std::u16string_view text,
            MatchState& state, bool continuing, MatchSink sink, void* context,
            uint64_t* stepLimit = nullptr) {
  if (!Prepare(program, text, state)) return false;
  if (hints.memoPointCount > 0) {
    state.memo.Prepare(text.data(), text.size(), hints.memoPointCount, continuing);
  }
  return (hints.boundedWork || stepLimit)
             ? Run<true>(program, hints, text, state, sink, context, stepLimit)
             : Run<false>(program, hints, text, state, sink, context, nullptr);
}

}  // namespace

bool SearchText(const PatternProgram& program, std::u16string_view text, MatchState& state,
                bool continuing) {
  return Search(program, program.Hints(), text, state, continuing, StopAtFirst, nullptr);
}

bool SearchRemainders(const PatternProgram& program, std::u16string_view text, MatchState& state,
                      MatchSink sink, void* context) {
  return Search(program, program.Hints(), text, state, false, sink, context);
}

bool SearchTextWithoutShortcuts(const PatternProgram& program, std::u16string_view text,
                                MatchState& state, uint64_t* stepLimit) {
  SearchHints plain;
  plain.boundedWork = program.Hints().boundedWork;
  // A program on a step budget keeps its own, so both searches end alike.
  return Search(program, plain, text, state, false, StopAtFirst, nullptr,
                plain.boundedWork ? nullptr : stepLimit);
}

}  // namespace quorvane
