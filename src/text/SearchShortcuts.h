#pragma once
// The search's fast paths and prefilters, entered from the matcher's plain
// loop (PatternSearch.cpp) at named points:
//   FindStart, EnterAfterPrefix  before an attempt: skip start positions
//                                that cannot match, and a prefix known to
//                                be there;
//   EnterLoop                    at a loop head: remembered failures, and
//                                loops over one character run in tight code;
//   LoopHeadFailed, Resume       while backtracking: remember a loop head's
//                                failure, give back greedy repetitions
//                                without going through the loop.
// Each pushes and pops exactly what the instructions it stands for would,
// so none of it changes a result (the fuzzers and the random tests check
// that against an independent reference matcher). Defined here and forced
// inline wherever they take the registers, so that these stay in machine
// registers instead of memory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/FindUnit.h"
#include "text/SearchHints.h"
#include "text/SearchMemo.h"
#include "text/SearchRegisters.h"

namespace quorvane {

// What the loop does after EnterLoop.
enum class LoopEntry {
  Plain,      // execute the head instruction as usual
  Ran,        // the loop ran; go on at the registers' pc
  Failed,     // fail (a remembered failure, or a loop that cannot go on)
  StackFull,  // the stack cannot grow: end the search
};

class SearchShortcuts {
 public:
  SearchShortcuts(const SearchHints& hints, SearchMemo& memo, std::u16string_view text,
                  bool anchored)
      : hints_(hints),
        memoPoint_(hints.memoPoint.empty() ? nullptr : hints.memoPoint.data()),
        fastLoop_(hints.fastLoop.empty() ? nullptr : hints.fastLoop.data()),
        memo_(memo),
        memoBase_(memoPoint_ ? memo.Offset(text.data()) : 0),
        hasSkip_(!hints.firstChars.empty() || !hints.prefix.empty()),
        skipStarts_(!text.empty() && hasSkip_),
        anchored_(anchored),
        found_(hints.literalsInOrder.size()),
        origin_(text.data()),
        end_(text.data() + text.size()) {}

  // Moves `start` to the first position where a match may begin; false
  // when none can, at it or later.
  [[gnu::always_inline]] bool FindStart(const SearchRegisters& r, uint32_t& start) {
    if (skipStarts_) {
      if (!hints_.prefix.empty()) {
        start = FindPrefix(r.text, r.n, start);
      } else {
        while (start < r.n && !hints_.MayBegin(r.text[start])) ++start;
      }
      if (start >= r.n || (anchored_ && start != 0)) return false;
    }
    return hints_.literalsInOrder.empty() || LiteralsFollow(r.text + start);
  }

  // The prefix is there: do what its instructions would have done.
  [[gnu::always_inline]] bool EnterAfterPrefix(SearchRegisters& r) const {
    if (!skipStarts_ || hints_.entryAfterPrefix == 0) return true;
    for (uint32_t entry : hints_.entryPushes) {
      if (!r.Push(entry)) return false;
    }
    r.pos += static_cast<uint32_t>(hints_.prefix.size());
    r.pc = hints_.entryAfterPrefix;
    return true;
  }

  // At a SaveSlot or SavePosition instruction.
  [[gnu::always_inline]] LoopEntry EnterLoop(SearchRegisters& r) {
    if (fastLoop_ && fastLoop_[r.pc] != kLoopNone) {
      if (fastLoop_[r.pc] == kLoopGreedyOne && r.room - r.depth >= 5 &&
          !(r.pos < r.n && OneCharMatches(r.code, r.pc + 7, r.text[r.pos]))) {
        return SkipGreedyOne(r);
      }
      return RunFastLoop(r);
    }
    const int32_t point = MemoPointAt(r.pc);
    return point < 0 ? LoopEntry::Plain : Remember(r, point);
  }

  // A failure popped a loop head's mark (an entry at or above the code
  // size): the rest of the search failed from there, at the position
  // stored beneath.
  [[gnu::always_inline]] void LoopHeadFailed(SearchRegisters& r, uint32_t mark) {
    const uint32_t at = r.Pop();
    memo_.MarkFailed(mark - r.codeSize, memoBase_ + at);
  }

  // A failure popped the index r.pc. Giving back one repetition of a fast
  // greedy loop restores position and slot and goes on after the loop;
  // when the loop is followed by a literal that does not match there, that
  // fails at once, so keep giving back. False: fail on.
  [[gnu::always_inline]] bool Resume(SearchRegisters& r) {
    const uint32_t top = r.pc;
    if (!fastLoop_ || top < 4 || fastLoop_[top - 4] != kLoopGreedyOne) return true;
    const uint32_t head = top - 4;
    const auto slot = static_cast<uint32_t>(r.code[head].operand);
    const auto after = static_cast<uint32_t>(r.code[head + 6].operand);
    const PatternInstruction next = r.code[after];
    const int32_t point = MemoPointAt(head);
    for (;;) {
      r.pos = r.Pop();
      r.slots[slot] = r.Pop();
      if (next.kind != PatternKind::MatchChar || next.operand == 0 ||
          (r.pos < r.n && r.text[r.pos] == static_cast<char16_t>(next.operand))) {
        break;
      }
      // The literal failed: the next entry is this repetition's memo mark
      // (if any), then the previous repetition's branch.
      const uint32_t mark = r.codeSize + static_cast<uint32_t>(point);
      if (point >= 0 && r.depth >= 2 && r.stack[r.depth - 1] == mark) {
        memo_.MarkFailed(static_cast<uint32_t>(point), memoBase_ + r.stack[r.depth - 2]);
        r.depth -= 2;
      }
      if (r.depth == 0 || r.stack[r.depth - 1] != top) return false;  // not ours
      --r.depth;
    }
    r.pc = after;
    return true;
  }

  // The search goes on in the remainder `advance` characters further on.
  void MoveOn(uint64_t advance, uint32_t n) {
    memoBase_ += advance;
    skipStarts_ = n > 0 && hasSkip_;
  }

 private:
  struct LiteralSighting {
    const char16_t* from = nullptr;  // nullptr: not searched yet
    const char16_t* at = nullptr;    // nullptr: none at or after `from`
  };

  int32_t MemoPointAt(uint32_t pc) const { return memoPoint_ ? memoPoint_[pc] : -1; }

  // Fails where the loop head failed before at this position; otherwise
  // leaves its mark, so that a failure back through it is remembered.
  [[gnu::always_inline]] LoopEntry Remember(SearchRegisters& r, int32_t point) {
    const auto p = static_cast<uint32_t>(point);
    if (memo_.Failed(p, memoBase_ + r.pos)) return LoopEntry::Failed;
    if (!r.Push(r.pos) || !r.Push(r.codeSize + p)) return LoopEntry::StackFull;
    return LoopEntry::Plain;
  }

  // "x*" whose first repetition fails: the iteration's pushes and pops
  // cancel out (the caller saw room for all of them, so none could have
  // failed), leaving the memo mark and the exit.
  [[gnu::always_inline]] LoopEntry SkipGreedyOne(SearchRegisters& r) {
    const uint32_t head = r.pc;
    const int32_t point = MemoPointAt(head);
    if (point >= 0) {
      const LoopEntry remembered = Remember(r, point);
      if (remembered != LoopEntry::Plain) return remembered;
    }
    r.pc = static_cast<uint32_t>(r.code[head + 6].operand);
    return LoopEntry::Ran;
  }

  // Runs the loop at r.pc on a copy of the registers: out of line, so that
  // the tight loop has the machine registers to itself.
  [[gnu::noinline]] LoopEntry RunFastLoop(SearchRegisters& registers) {
    SearchRegisters r = registers;
    LoopEntry entry = LoopEntry::Plain;
    switch (fastLoop_[r.pc]) {
      case kLoopGreedyOne: entry = RunGreedyOne(r); break;
      case kLoopGreedyEither: entry = RunGreedyEither(r); break;
      default: entry = RunLazyOne(r); break;
    }
    // Only these change in a loop.
    registers.pc = r.pc;
    registers.pos = r.pos;
    registers.stack = r.stack;
    registers.depth = r.depth;
    registers.room = r.room;
    return entry;
  }

  // The test of the single-character instruction at `at`.
  [[gnu::always_inline]] static bool OneCharMatches(const PatternInstruction* code, uint32_t at, char16_t c) {
    const PatternInstruction in = code[at];
    switch (in.kind) {
      case PatternKind::MatchChar: return c == static_cast<char16_t>(in.operand);
      case PatternKind::MatchAnyChar: return true;
      default: return InRanges(code, at, c) == (in.kind == PatternKind::MatchInRanges);
    }
  }

  // "x*": one iteration per character, exactly as the form's instructions
  // would run it, until the test fails; then its exit path: pop the
  // branch, restore position and slot.
  [[gnu::always_inline]] LoopEntry RunGreedyOne(SearchRegisters& r) {
    const uint32_t head = r.pc;
    const auto slot = static_cast<uint32_t>(r.code[head].operand);
    const int32_t point = MemoPointAt(head);
    for (;;) {
      if (point >= 0) {
        const LoopEntry remembered = Remember(r, point);
        if (remembered != LoopEntry::Plain) return remembered;
      }
      if (!r.Push(r.slots[slot])) return LoopEntry::StackFull;
      r.slots[slot] = r.pos;
      if (!r.Push(r.pos) || !r.Push(head + 4)) return LoopEntry::StackFull;
      if (r.pos < r.n && OneCharMatches(r.code, head + 7, r.text[r.pos])) {
        r.slots[slot] = ++r.pos;
        continue;
      }
      --r.depth;
      r.pos = r.Pop();
      r.slots[slot] = r.Pop();
      r.pc = static_cast<uint32_t>(r.code[head + 6].operand);
      return LoopEntry::Ran;
    }
  }

  // "(x|y)*": as above; each iteration also pushes the group's entry and,
  // when x matched, the alternation's two.
  [[gnu::always_inline]] LoopEntry RunGreedyEither(SearchRegisters& r) {
    const uint32_t head = r.pc;
    const auto slot = static_cast<uint32_t>(r.code[head].operand);
    const uint32_t alternation = head + 9;
    const auto y = static_cast<uint32_t>(r.code[alternation + 3].operand);
    const int32_t point = MemoPointAt(head);
    for (;;) {
      if (point >= 0) {
        const LoopEntry remembered = Remember(r, point);
        if (remembered != LoopEntry::Plain) return remembered;
      }
      if (!r.Push(r.slots[slot])) return LoopEntry::StackFull;
      r.slots[slot] = r.pos;
      if (!r.Push(r.pos) || !r.Push(head + 4) || !r.Push(head + 8)) return LoopEntry::StackFull;
      if (r.pos < r.n && OneCharMatches(r.code, alternation + 4, r.text[r.pos])) {
        if (!r.Push(r.pos) || !r.Push(alternation + 2)) return LoopEntry::StackFull;
        r.slots[slot] = ++r.pos;
        continue;
      }
      if (r.pos < r.n && OneCharMatches(r.code, y, r.text[r.pos])) {
        r.slots[slot] = ++r.pos;
        continue;
      }
      r.depth -= 2;
      r.pos = r.Pop();
      r.slots[slot] = r.Pop();
      r.pc = static_cast<uint32_t>(r.code[head + 6].operand);
      return LoopEntry::Ran;
    }
  }

  // "x*?" followed by a literal: while the literal cannot match here,
  // trying the rest fails at once and leaves the stack as it was, so take
  // the next character directly.
  [[gnu::always_inline]] LoopEntry RunLazyOne(SearchRegisters& r) {
    const uint32_t head = r.pc;
    const auto rest = static_cast<uint32_t>(r.code[head + 1].operand);
    const auto literal = static_cast<char16_t>(r.code[rest].operand);
    const int32_t point = MemoPointAt(head);
    for (;;) {
      if (point >= 0) {
        const LoopEntry remembered = Remember(r, point);
        if (remembered != LoopEntry::Plain) return remembered;
      }
      if (r.pos < r.n && r.text[r.pos] == literal) break;
      if (r.pos == r.n || !OneCharMatches(r.code, head + 3, r.text[r.pos])) return LoopEntry::Failed;
      ++r.pos;
    }
    if (!r.Push(r.pos) || !r.Push(head + 2)) return LoopEntry::StackFull;
    r.pc = rest;
    return LoopEntry::Ran;
  }

  // The first start at or after `start` where the prefix is found, or n.
  uint32_t FindPrefix(const char16_t* text, uint32_t n, uint32_t start) const {
    const std::u16string& prefix = hints_.prefix;
    for (;; ++start) {
      start = static_cast<uint32_t>(FindUnit(text, start, n, prefix[0]));
      if (start >= n || n - start < prefix.size()) return n;
      if (SameUnits(prefix.data() + 1, text + start + 1, prefix.size() - 1)) return start;
    }
  }

  // Whether the literals every match contains occur in order, without
  // overlap, at or after `p`. Where each was last found is kept, as
  // (searched from, found at) in the whole buffer: start positions only
  // grow, so each stretch of text is scanned for it once.
  bool LiteralsFollow(const char16_t* p) {
    const std::vector<std::u16string>& literals = hints_.literalsInOrder;
    for (size_t i = 0; i < literals.size(); ++i) {
      const std::u16string& literal = literals[i];
      LiteralSighting& seen = found_[i];
      const bool known = seen.from != nullptr && seen.from <= p && (seen.at == nullptr || seen.at >= p);
      if (!known) {
        seen.from = p;
        seen.at = nullptr;
        const size_t length = literal.size();
        const auto size = static_cast<size_t>(end_ - origin_);
        for (const char16_t* q = p; static_cast<size_t>(end_ - q) >= length; ++q) {
          q = origin_ + FindUnit(origin_, static_cast<size_t>(q - origin_), size, literal[0]);
          if (static_cast<size_t>(end_ - q) < length) break;
          if (SameUnits(literal.data() + 1, q + 1, length - 1)) {
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

  const SearchHints& hints_;
  const int32_t* const memoPoint_;  // nullptr: nothing is remembered
  const uint8_t* const fastLoop_;   // nullptr: no fast loops
  SearchMemo& memo_;
  size_t memoBase_;  // offset of the searched remainder in the memo's buffer
  const bool hasSkip_;
  bool skipStarts_;
  const bool anchored_;
  std::vector<LiteralSighting> found_;
  const char16_t* const origin_;  // the whole buffer, across remainders
  const char16_t* const end_;
};

}  // namespace quorvane
