#include "text/PatternSearch.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "text/SearchRegisters.h"
#include "text/SearchShortcuts.h"

namespace quorvane {

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

namespace {

uint64_t StackLimit(uint32_t n) { return std::max(kStackFloor, kStackPerChar * (uint64_t{n} + 1)); }
uint64_t StepBudget(uint32_t n) { return kStepFloor + kStepsPerChar * (uint64_t{n} + 1); }

SearchRegisters Registers(const PatternProgram& program, std::u16string_view text,
                          MatchState& state) {
  SearchRegisters r;
  r.code = program.Instructions().data();
  r.codeSize = static_cast<uint32_t>(program.Instructions().size());
  r.text = text.data();
  r.n = static_cast<uint32_t>(text.size());
  r.slots = state.slots.data();
  r.captures = state.captures.data();
  r.stack = state.stack.data();
  r.room = state.stack.size();
  r.limit = StackLimit(r.n);
  r.state = &state;
  return r;
}

// How an attempt at one start position ended.
enum class Outcome {
  Accepted,
  NextStart,  // try the next start position
  Stop,       // no match, and no later start is tried (also: a bound was reached)
};

// Failure: back to the most recent branch point. False when there is none.
[[gnu::always_inline]] inline bool Backtrack(SearchRegisters& r, SearchShortcuts& fast) {
  for (;;) {
    if (r.depth == 0) return false;
    const uint32_t top = r.Pop();
    if (top >= r.codeSize) {
      fast.LoopHeadFailed(r, top);  // not an index: a loop head's mark
      continue;
    }
    r.pc = top;
    if (fast.Resume(r)) return true;
  }
}

// Executes the program from the registers' pc and position, one
// instruction at a time, until the attempt ends. Each case either goes on
// (continue) or fails (break); programs that may cycle forever count their
// steps (kBounded).
template <bool kBounded>
[[gnu::always_inline]] inline Outcome Attempt(SearchRegisters& r, SearchShortcuts& fast, uint64_t& budget) {
  for (;;) {
    if constexpr (kBounded) {
      if (--budget == 0) return Outcome::Stop;
    }
    const PatternInstruction in = r.code[r.pc];
    const int32_t op = in.operand;
    const auto u = static_cast<uint32_t>(op);
    switch (in.kind) {
      case PatternKind::NoOp: ++r.pc; continue;
      case PatternKind::MarkCaptureStart: r.captures[u].start = r.pos; ++r.pc; continue;
      case PatternKind::MarkCaptureEnd: r.captures[u].end = r.pos; ++r.pc; continue;
      case PatternKind::MatchChar:
        if (op == 0 ? r.pos != r.n : r.pos == r.n || r.text[r.pos] != static_cast<char16_t>(op)) break;
        r.pos += op != 0;
        ++r.pc;
        continue;
      case PatternKind::MatchAnyChar:
        if (r.pos == r.n) break;
        ++r.pos;
        ++r.pc;
        continue;
      case PatternKind::MatchInRanges:
      case PatternKind::MatchNotInRanges:
        if (r.pos == r.n) break;
        if (InRanges(r.code, r.pc, r.text[r.pos]) != (in.kind == PatternKind::MatchInRanges)) break;
        ++r.pos;
        r.pc = u;
        continue;
      case PatternKind::Jump: r.pc = u; continue;
      case PatternKind::SaveSlot:
      case PatternKind::SavePosition: {
        const LoopEntry entry = fast.EnterLoop(r);
        if (entry == LoopEntry::Ran) continue;
        if (entry == LoopEntry::Failed) break;
        if (entry == LoopEntry::StackFull) return Outcome::Stop;
        if (!r.Push(in.kind == PatternKind::SaveSlot ? r.slots[u] : r.pos)) return Outcome::Stop;
        ++r.pc;
        continue;
      }
      case PatternKind::RestorePosition:
        if (r.depth == 0) return Outcome::Stop;
        r.pos = r.Pop();
        ++r.pc;
        continue;
      case PatternKind::Branch:
        if (!r.Push(r.pc + 1)) return Outcome::Stop;
        r.pc = u;
        continue;
      case PatternKind::Fail: break;
      case PatternKind::RestoreSlot:
        if (r.depth == 0) return Outcome::Stop;
        r.slots[u] = r.Pop();
        ++r.pc;
        continue;
      case PatternKind::StorePositionInSlot: r.slots[u] = r.pos; ++r.pc; continue;
      case PatternKind::StoreStackDepthInSlot: r.slots[u] = r.depth; ++r.pc; continue;
      case PatternKind::LoadPositionFromSlot: r.pos = r.slots[u]; ++r.pc; continue;
      case PatternKind::LoadStackDepthFromSlot:
        if (r.slots[u] > r.depth) return Outcome::Stop;
        r.depth = r.slots[u];
        ++r.pc;
        continue;
      case PatternKind::FailIfNoProgress:
        if (r.pos == r.slots[u]) break;
        ++r.pc;
        continue;
      case PatternKind::MatchBackReference: {
        const CaptureExtent c = r.captures[u];
        const uint32_t length = (c.end > c.start && c.end <= r.n) ? c.end - c.start : 0;
        if (length > r.n - r.pos) break;
        if (!std::equal(r.text + c.start, r.text + c.start + length, r.text + r.pos)) break;
        r.pos += length;
        ++r.pc;
        continue;
      }
      case PatternKind::StopSearch: return Outcome::Stop;
      case PatternKind::NextStart: return Outcome::NextStart;
      case PatternKind::Accept: return Outcome::Accepted;
      case PatternKind::SaveCapture:
        if (!r.Push(r.captures[u].start) || !r.Push(r.captures[u].end)) return Outcome::Stop;
        ++r.pc;
        continue;
      case PatternKind::RestoreCapture:
        if (r.depth < 2) return Outcome::Stop;
        r.captures[u].end = r.Pop();
        r.captures[u].start = r.Pop();
        ++r.pc;
        continue;
      default: return Outcome::Stop;
    }
    if (!Backtrack(r, fast)) return Outcome::Stop;
  }
}

// Tries start positions in order; after each match the sink names the
// remainder to search next, as a text of its own.
template <bool kBounded>
bool Run(const PatternProgram& program, std::u16string_view text, MatchState& state,
         MatchSink sink, void* context) {
  // Local to this function, so that they live in machine registers.
  SearchRegisters r = Registers(program, text, state);
  const bool anchored = r.codeSize > 1 && r.code[1].kind == PatternKind::StopSearch;
  SearchShortcuts fast(program.Hints(), state.memo, text, anchored);
  uint64_t budget = StepBudget(r.n);
  uint32_t start = 0;
  for (;;) {
    if (!fast.FindStart(r, start)) return false;
    r.depth = 0;
    r.pc = 0;
    r.pos = start;
    state.matchStart = start;
    if (!fast.EnterAfterPrefix(r)) return false;
    const Outcome outcome = Attempt<kBounded>(r, fast, budget);
    if (outcome == Outcome::Stop) return false;
    if (outcome == Outcome::NextStart) {
      if (uint64_t{start} + 1 >= r.n) return false;
      ++start;
      continue;
    }
    state.matchEnd = r.pos;
    state.stackDepth = r.depth;
    const uint64_t advance = sink(context, state);
    if (advance == kStopSearching) return true;
    // Fresh slots and captures, start positions from 0.
    r.text += advance;
    r.n -= static_cast<uint32_t>(advance);
    r.limit = StackLimit(r.n);
    budget = StepBudget(r.n);
    fast.MoveOn(advance, r.n);
    std::fill(state.slots.begin(), state.slots.end(), 0u);
    std::fill(state.captures.begin(), state.captures.end(), CaptureExtent{});
    start = 0;
  }
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

bool Search(const PatternProgram& program, std::u16string_view text, MatchState& state,
            bool continuing, MatchSink sink, void* context) {
  if (!Prepare(program, text, state)) return false;
  const SearchHints& hints = program.Hints();
  if (hints.memoPointCount > 0) {
    state.memo.Prepare(text.data(), text.size(), hints.memoPointCount, continuing);
  }
  return hints.boundedWork ? Run<true>(program, text, state, sink, context)
                           : Run<false>(program, text, state, sink, context);
}

}  // namespace

bool SearchText(const PatternProgram& program, std::u16string_view text, MatchState& state,
                bool continuing) {
  return Search(program, text, state, continuing, StopAtFirst, nullptr);
}

bool SearchRemainders(const PatternProgram& program, std::u16string_view text, MatchState& state,
                      MatchSink sink, void* context) {
  return Search(program, text, state, false, sink, context);
}

}  // namespace quorvane
