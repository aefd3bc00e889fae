#pragma once
// A second matcher, written apart from the engine's, that the fuzzers and
// the random tests check the engine's search against. It executes the
// instructions one at a time exactly as the instruction set describes
// them, with none of the engine's shortcuts (no start skipping, no
// remembered failures, no tight loops, no prefilters). Each branch point
// is a C++ call, as in a classic recursive backtracker: a failure pops the
// stack's top entry and returns to the call that pushed it, which goes on
// at the popped index (after a look-ahead discarded entries, that is a
// call further out).
//
// It is meant for short inputs and gives up (TooLong) beyond 1,000,000
// instructions, 2^16 stack entries or 20,000 nested branch points: all
// below the engine's own step budget and stack bound, so whenever it
// answers, the engine's bounds cannot have decided the engine's answer.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/MatchState.h"
#include "text/PatternProgram.h"

namespace quorvane::fuzz {

enum class ReferenceResult { NoMatch, Match, TooLong, Malformed };

class ReferenceSearch {
 public:
  // Searches `text` (already folded to the program's case) for the first
  // match; on Match, `state` holds its extents and captures.
  static ReferenceResult Run(const PatternProgram& program, std::u16string_view text,
                             MatchState& state) {
    if (program.ErrorCode() != kPatternOk || program.Instructions().empty()) {
      return ReferenceResult::NoMatch;
    }
    ReferenceSearch search(program, text);
    const ReferenceResult result = search.AllStarts();
    if (result == ReferenceResult::Match) {
      state.captureCount = program.CaptureCount();
      state.captures = search.captures_;
      state.matchStart = search.start_;
      state.matchEnd = search.end_;
      state.subject = text;
    }
    return result;
  }

 private:
  enum class End { Branched, Failed, Accepted, NextStart, Stop, TooLong, Malformed };

  ReferenceSearch(const PatternProgram& program, std::u16string_view text)
      : code_(program.Instructions()), text_(text), slots_(program.SlotCount(), 0),
        captures_(program.CaptureCount()) {}

  ReferenceResult AllStarts() {
    for (start_ = 0;; ++start_) {
      stack_.clear();
      pc_ = 0;
      pos_ = start_;
      End end = Try(0);
      // A failure whose entry no branch call owns goes on from here.
      while (end == End::Failed) end = Try(0);
      switch (end) {
        case End::Accepted: return ReferenceResult::Match;
        case End::TooLong: return ReferenceResult::TooLong;
        case End::Malformed: return ReferenceResult::Malformed;
        case End::NextStart:
          if (start_ + 1 >= text_.size()) return ReferenceResult::NoMatch;
          break;
        default: return ReferenceResult::NoMatch;
      }
    }
  }

  // Runs instructions until the attempt ends or a failure pops an entry
  // that this call did not push. A branch point is a nested call.
  End Try(int nesting) {
    if (nesting > 20000) return End::TooLong;
    for (;;) {
      const End end = Step();
      if (end != End::Branched) return end;
      const size_t mine = stack_.size() - 1;
      const End inner = Try(nesting + 1);
      if (inner != End::Failed || failedAt_ != mine) return inner;
      // The failure came back to this branch point: go on where it popped.
    }
  }

  // Executes instructions from pc_ at pos_ up to the next branch point (its
  // entry pushed, pc_ at its target) or the end of the attempt.
  [[gnu::noinline]] End Step() {
    const uint32_t n = static_cast<uint32_t>(text_.size());
    for (;;) {
      if (pc_ >= code_.size()) return End::Malformed;
      if (++steps_ > 1000000) return End::TooLong;
      const PatternInstruction in = code_[pc_];
      const int32_t op = in.operand;
      const auto u = static_cast<uint32_t>(op);
      uint32_t next = pc_ + 1;
      bool ok = true;
      switch (in.kind) {
        case PatternKind::NoOp: break;
        case PatternKind::MarkCaptureStart: captures_[u].start = pos_; break;
        case PatternKind::MarkCaptureEnd: captures_[u].end = pos_; break;
        case PatternKind::MatchChar:
          ok = op == 0 ? pos_ == n : pos_ < n && text_[pos_] == static_cast<char16_t>(op);
          pos_ += ok && op != 0;
          break;
        case PatternKind::MatchAnyChar: ok = pos_ < n; pos_ += ok; break;
        case PatternKind::MatchInRanges:
        case PatternKind::MatchNotInRanges:
          ok = pos_ < n && InRanges(pc_, text_[pos_]) == (in.kind == PatternKind::MatchInRanges);
          pos_ += ok;
          next = u;
          break;
        case PatternKind::Jump: next = u; break;
        case PatternKind::SavePosition: if (!Push(pos_)) return End::TooLong; break;
        case PatternKind::RestorePosition:
          if (stack_.empty()) return End::Stop;
          pos_ = Pop();
          break;
        case PatternKind::Branch:
          if (!Push(pc_ + 1)) return End::TooLong;
          pc_ = u;
          return End::Branched;
        case PatternKind::Fail: ok = false; break;
        case PatternKind::SaveSlot: if (!Push(slots_[u])) return End::TooLong; break;
        case PatternKind::RestoreSlot:
          if (stack_.empty()) return End::Stop;
          slots_[u] = Pop();
          break;
        case PatternKind::StorePositionInSlot: slots_[u] = pos_; break;
        case PatternKind::StoreStackDepthInSlot: slots_[u] = static_cast<uint32_t>(stack_.size()); break;
        case PatternKind::LoadPositionFromSlot: pos_ = slots_[u]; break;
        case PatternKind::LoadStackDepthFromSlot:
          if (slots_[u] > stack_.size()) return End::Stop;
          stack_.resize(slots_[u]);
          break;
        case PatternKind::FailIfNoProgress: ok = pos_ != slots_[u]; break;
        case PatternKind::MatchBackReference: {
          const std::u16string_view captured = CaptureText(u);
          ok = text_.substr(pos_).substr(0, captured.size()) == captured;
          pos_ += ok ? static_cast<uint32_t>(captured.size()) : 0;
          break;
        }
        case PatternKind::StopSearch: return End::Stop;
        case PatternKind::NextStart: return End::NextStart;
        case PatternKind::Accept: end_ = pos_; return End::Accepted;
        case PatternKind::SaveCapture:
          if (!Push(captures_[u].start) || !Push(captures_[u].end)) return End::TooLong;
          break;
        case PatternKind::RestoreCapture:
          if (stack_.size() < 2) return End::Stop;
          captures_[u].end = Pop();
          captures_[u].start = Pop();
          break;
        default: return End::Stop;
      }
      if (ok) {
        pc_ = next;
        continue;
      }
      // Failure: go on at the index on top of the stack.
      if (stack_.empty()) return End::Stop;
      failedAt_ = stack_.size() - 1;
      pc_ = Pop();
      return End::Failed;
    }
  }

  bool InRanges(uint32_t at, char16_t c) const {
    const auto end = static_cast<uint32_t>(code_[at].operand);
    for (uint32_t i = at + 1; i + 1 < end; i += 2) {
      if (code_[i].operand <= c && c <= code_[i + 1].operand) return true;
    }
    return false;
  }

  // A capture with no text matches the empty string.
  std::u16string_view CaptureText(uint32_t k) const {
    const CaptureExtent c = captures_[k];
    if (c.end <= c.start || c.end > text_.size()) return {};
    return text_.substr(c.start, c.end - c.start);
  }

  bool Push(uint32_t value) {
    if (stack_.size() >= (size_t{1} << 16)) return false;
    stack_.push_back(value);
    return true;
  }
  uint32_t Pop() {
    const uint32_t top = stack_.back();
    stack_.pop_back();
    return top;
  }

  const std::vector<PatternInstruction>& code_;
  std::u16string_view text_;
  std::vector<uint32_t> slots_;
  std::vector<CaptureExtent> captures_;
  std::vector<uint32_t> stack_;
  uint64_t steps_ = 0;
  uint32_t start_ = 0;
  uint32_t end_ = 0;
  uint32_t pc_ = 0;
  uint32_t pos_ = 0;
  // Where the entry popped by the failure on its way back was.
  size_t failedAt_ = 0;
};

}  // namespace quorvane::fuzz
