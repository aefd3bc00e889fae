#include "text/PatternCompiler.h"

#include <cstddef>
#include <new>
#include <string>

namespace quorvane {
namespace {

struct CompileFailure {
  int32_t code;
};

bool IsCloser(char16_t c) { return c == u')' || c == u']' || c == u'}'; }

bool HasIndexOperand(PatternKind k) { return PatternOperandRole(k) == OperandRole::Index; }
bool HasSlotOperand(PatternKind k) { return PatternOperandRole(k) == OperandRole::Slot; }

struct Abbreviation {
  char16_t letter;
  std::u16string_view expansion;
};

// Looked up in this order by the letter after a backslash.
constexpr Abbreviation kAbbreviations[] = {
    {u'a', u"([a-zA-Z0-9])"},
    {u'b', u"([ \\t])"},
    {u'c', u"([a-zA-Z])"},
    {u'd', u"([0-9])"},
    {u'h', u"([0-9a-fA-F])"},
    {u'n', u"(\r|(\r?\n))"},
    {u'q', u"(\"[^\"]*\")|('[^']*')"},
    {u'w', u"([a-zA-Z]+)"},
    {u'z', u"([0-9]+)"},
};

// A body compiled once and kept aside, to be laid down again inside a
// quantifier's form.
struct Body {
  std::vector<PatternInstruction> code;
  std::vector<uint8_t> notes;
  size_t base = 0;
  uint32_t slotBase = 0;
  uint32_t slots = 0;
  bool nullable = false;
};

}  // namespace

void PatternCompiler::Fail(int32_t code) { throw CompileFailure{code}; }

void PatternCompiler::Reserve(size_t more) const {
  if (program_.instructions.size() + more > kMaxPatternInstructions) Fail(kPatternNoMemory);
}

size_t PatternCompiler::Emit(PatternKind kind, int32_t operand) {
  Reserve(1);
  program_.instructions.push_back({kind, operand});
  notes_.push_back(0);
  return program_.instructions.size() - 1;
}

void PatternCompiler::Truncate(size_t size) {
  program_.instructions.resize(size);
  notes_.resize(size);
}

int32_t PatternCompiler::Compile(std::u16string_view pattern) {
  try {
    Source src{pattern};
    Emit(PatternKind::Branch, 2);
    const bool anchored = src.Peek() == u'^';
    if (anchored) ++src.pos;
    Emit(anchored ? PatternKind::StopSearch : PatternKind::NextStart);
    // A stray closer ends the whole pattern; what follows is ignored.
    ParseSequence(src, true);
    Emit(PatternKind::Accept);
    program_.hints = AnalyseProgram(program_.instructions, notes_, traits_);
  } catch (const CompileFailure& failure) {
    return failure.code;
  } catch (const std::bad_alloc&) {
    return kPatternNoMemory;
  }
  return kPatternOk;
}

PatternCompiler::Sequence PatternCompiler::ParseSequence(Source& src, bool outermost) {
  Sequence seq;
  bool allFlag = true;
  bool allNullable = true;
  std::u16string run;
  auto endRun = [&] {
    if (!run.empty()) traits_.literalsInOrder.push_back(run);
    run.clear();
  };
  while (src.Peek() != u'\0' && !IsCloser(src.Peek())) {
    Piece element;
    const size_t before = program_.instructions.size();
    if (!ParseElement(src, element)) break;
    if (outermost) {
      const auto& code = program_.instructions;
      if (code.size() == before + 1 && code.back().kind == PatternKind::MatchChar &&
          code.back().operand != 0) {
        run += static_cast<char16_t>(code.back().operand);
      } else {
        endRun();
      }
    }
    ++seq.elements;
    allFlag = allFlag && element.flag;
    allNullable = allNullable && element.nullable;
  }
  // An empty body counts as "not empty" for the language's flag, but it
  // does match the empty string.
  if (outermost) endRun();
  seq.piece.flag = seq.elements > 0 && allFlag;
  seq.piece.nullable = allNullable;
  return seq;
}

bool PatternCompiler::ParseElement(Source& src, Piece& out) {
  auto& code = program_.instructions;
  const size_t chainStart = code.size();
  const uint32_t capturesBefore = program_.captureCount;
  const uint32_t slotsBefore = program_.slotCount;
  std::vector<size_t> exitJumps;
  out = {};
  for (;;) {
    const size_t start = code.size();
    const Piece x = ParseQuantifiedAtom(src);
    out.flag = out.flag || x.flag;
    out.nullable = out.nullable || x.nullable;
    if (src.Peek() != u'|') break;
    ++src.pos;
    if (src.Peek() == u'\0' || IsCloser(src.Peek())) {
      // «a|» with nothing after it: the whole alternation goes.
      Truncate(chainStart);
      program_.captureCount = capturesBefore;
      program_.slotCount = slotsBefore;
      return false;
    }
    // Put the alternation's head in front of the left side.
    Reserve(4);
    const int32_t s = static_cast<int32_t>(start);
    code.insert(code.begin() + static_cast<std::ptrdiff_t>(start),
                {{PatternKind::SavePosition, 0},
                 {PatternKind::Branch, s + 4},
                 {PatternKind::RestorePosition, 0},
                 {PatternKind::Jump, 0}});
    notes_.insert(notes_.begin() + static_cast<std::ptrdiff_t>(start), 4, uint8_t{0});
    for (size_t i = start + 4; i < code.size(); ++i) {
      if (HasIndexOperand(code[i].kind)) code[i].operand += 4;
    }
    exitJumps.push_back(Emit(PatternKind::Jump));
    code[start + 3].operand = static_cast<int32_t>(code.size());
  }
  for (size_t j : exitJumps) code[j].operand = static_cast<int32_t>(code.size());
  return true;
}

PatternCompiler::Piece PatternCompiler::ParseQuantifiedAtom(Source& src) {
  auto& code = program_.instructions;
  const size_t start = code.size();
  const uint32_t slotsBefore = program_.slotCount;
  const Piece x = ParseAtom(src);
  const char16_t q = src.Peek();
  if (q != u'*' && q != u'+' && q != u'?') return x;
  ++src.pos;
  const bool lazy = src.Peek() == u'?';
  if (lazy) ++src.pos;
  if ((q == u'*' || q == u'+') && x.flag) Fail(kPatternRepeatsEmpty);

  Body body;
  body.code.assign(code.begin() + static_cast<std::ptrdiff_t>(start), code.end());
  body.notes.assign(notes_.begin() + static_cast<std::ptrdiff_t>(start), notes_.end());
  body.base = start;
  body.slotBase = slotsBefore;
  body.slots = program_.slotCount - slotsBefore;
  body.nullable = x.nullable;
  if (q != u'+') {
    // The measuring compilation is discarded; the form is laid down in its
    // place with the body compiled "again" (same capture numbers).
    Truncate(start);
    program_.slotCount = slotsBefore;
  }

  auto layBody = [&](uint8_t extraNote) {
    const size_t from = code.size();
    Reserve(body.code.size());
    const int64_t indexShift = static_cast<int64_t>(from) - static_cast<int64_t>(body.base);
    const uint32_t slotShift = program_.slotCount - body.slotBase;
    for (size_t i = 0; i < body.code.size(); ++i) {
      PatternInstruction in = body.code[i];
      if (HasIndexOperand(in.kind)) in.operand = static_cast<int32_t>(in.operand + indexShift);
      if (HasSlotOperand(in.kind)) in.operand = static_cast<int32_t>(in.operand + slotShift);
      code.push_back(in);
      notes_.push_back(static_cast<uint8_t>(body.notes[i] | extraNote));
    }
    program_.slotCount += body.slots;
  };

  const bool loop = q != u'?';
  const size_t head = code.size();
  if (!lazy) {
    const int32_t s = static_cast<int32_t>(program_.slotCount++);
    Emit(PatternKind::SaveSlot, s);
    Emit(PatternKind::StorePositionInSlot, s);
    Emit(PatternKind::SavePosition);
    Emit(PatternKind::Branch, static_cast<int32_t>(head + 7));
    Emit(PatternKind::RestorePosition);
    Emit(PatternKind::RestoreSlot, s);
    const size_t exit = Emit(PatternKind::Jump);
    layBody(body.nullable ? kNoteInEmptyLoop : 0);
    Emit(PatternKind::FailIfNoProgress, s);
    Emit(PatternKind::StorePositionInSlot, s);
    if (loop) Emit(PatternKind::Jump, static_cast<int32_t>(head));
    code[exit].operand = static_cast<int32_t>(code.size());
    if (loop && !body.nullable) notes_[head] |= kNoteGreedyHead;
  } else {
    Emit(PatternKind::SavePosition);
    const size_t branch = Emit(PatternKind::Branch);
    Emit(PatternKind::RestorePosition);
    layBody(0);
    if (loop) Emit(PatternKind::Jump, static_cast<int32_t>(head));
    code[branch].operand = static_cast<int32_t>(code.size());
    if (loop) {
      notes_[head] |= kNoteLazyHead;
      if (body.nullable) traits_.lazyLoopOverEmpty = true;
    }
  }

  Piece result;
  result.flag = (q == u'+' && !lazy) ? x.flag : true;
  result.nullable = q == u'+' ? x.nullable : true;
  return result;
}

PatternCompiler::Piece PatternCompiler::ParseAtom(Source& src) {
  struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) {
      if (++depth > kMaxPatternNesting) Fail(kPatternNoMemory);
    }
    ~DepthGuard() { --depth; }
  } guard(depth_);

  const char16_t c = src.Peek();
  switch (c) {
    case u'(':
      return ParseGroup(src);
    case u'{':
      return ParseCapture(src);
    case u'[':
      return ParseClass(src);
    case u'.':
      ++src.pos;
      Emit(PatternKind::MatchAnyChar);
      return {false, false};
    case u'!':
      return ParseLookAhead(src);
    case u'\\':
      return ParseEscape(src);
    case u'$':
      if (src.AtLast()) {
        ++src.pos;
        Emit(PatternKind::MatchChar, 0);
        return {false, true};
      }
      break;
    case u'\0':
      // Only after "!" at the very end: the terminator itself, which
      // matches the end of the text.
      Emit(PatternKind::MatchChar, 0);
      return {false, true};
    default:
      break;
  }
  ++src.pos;
  Emit(PatternKind::MatchChar, c);
  return {false, false};
}

PatternCompiler::Piece PatternCompiler::ParseGroup(Source& src) {
  ++src.pos;
  const size_t start = Emit(PatternKind::Branch, 0);
  program_.instructions[start].operand = static_cast<int32_t>(start + 2);
  Emit(PatternKind::Fail);
  const Sequence body = ParseSequence(src);
  if (src.Peek() != u')') Fail(kPatternOpenGroup);
  ++src.pos;
  if (body.elements == 0) Emit(PatternKind::NoOp);
  return body.piece;
}

PatternCompiler::Piece PatternCompiler::ParseCapture(Source& src) {
  ++src.pos;
  const int32_t k = static_cast<int32_t>(program_.captureCount++);
  const size_t start = Emit(PatternKind::SaveCapture, k);
  Emit(PatternKind::MarkCaptureStart, k);
  Emit(PatternKind::Branch, static_cast<int32_t>(start + 5));
  Emit(PatternKind::RestoreCapture, k);
  Emit(PatternKind::Fail);
  const Sequence body = ParseSequence(src);
  if (src.Peek() != u'}') Fail(kPatternOpenCapture);
  ++src.pos;
  if (body.elements == 0) Emit(PatternKind::NoOp);
  Emit(PatternKind::MarkCaptureEnd, k);
  return body.piece;
}

PatternCompiler::Piece PatternCompiler::ParseClass(Source& src) {
  ++src.pos;
  const bool negated = src.Peek() == u'^';
  if (negated) ++src.pos;
  if (src.Peek() == u']') Fail(kPatternEmptyClass);
  const size_t head = Emit(negated ? PatternKind::MatchNotInRanges : PatternKind::MatchInRanges);
  for (;;) {
    char16_t c = src.Peek();
    if (c == u'\0') Fail(kPatternOpenClass);
    ++src.pos;
    if (c == u']') break;
    if (c == u'\\') {
      const char16_t e = src.Peek();
      if (e == u'\0') Fail(kPatternOpenClass);
      ++src.pos;
      c = e == u't' ? u'\t' : e;
    }
    char16_t upper = c;
    if (src.Peek() == u'-') {
      upper = src.Peek(1);
      if (upper == u'\0' || upper == u']') Fail(kPatternOpenClass);
      src.pos += 2;
      if (upper < c) Fail(kPatternReversedRange);
    }
    Emit(PatternKind::NoOp, c);
    Emit(PatternKind::NoOp, upper);
  }
  program_.instructions[head].operand = static_cast<int32_t>(program_.instructions.size());
  return {false, false};
}

PatternCompiler::Piece PatternCompiler::ParseLookAhead(Source& src) {
  ++src.pos;
  traits_.hasLookAhead = true;
  const int32_t s = static_cast<int32_t>(program_.slotCount++);
  const int32_t t = static_cast<int32_t>(program_.slotCount++);
  const size_t start = Emit(PatternKind::StorePositionInSlot, s);
  Emit(PatternKind::StoreStackDepthInSlot, t);
  Emit(PatternKind::Branch, static_cast<int32_t>(start + 6));
  Emit(PatternKind::LoadPositionFromSlot, s);
  Emit(PatternKind::LoadStackDepthFromSlot, t);
  const size_t exit = Emit(PatternKind::Jump);
  const Piece x = ParseAtom(src);
  Emit(PatternKind::LoadPositionFromSlot, s);
  Emit(PatternKind::LoadStackDepthFromSlot, t);
  Emit(PatternKind::Fail);
  program_.instructions[exit].operand = static_cast<int32_t>(program_.instructions.size());
  return {x.flag, true};
}

PatternCompiler::Piece PatternCompiler::ParseEscape(Source& src) {
  ++src.pos;
  const char16_t c = src.Peek();
  if (c == u'\0') {
    // A lone trailing backslash ends the pattern: it stands for the end
    // of the text.
    Emit(PatternKind::MatchChar, 0);
    return {false, true};
  }
  if (c >= u'0' && c <= u'9') {
    uint64_t number = 0;
    while (src.Peek() >= u'0' && src.Peek() <= u'9') {
      number = number * 10 + (src.Peek() - u'0');
      if (number > UINT32_MAX) number = UINT32_MAX;
      ++src.pos;
    }
    if (number >= program_.captureCount) Fail(kPatternBadBackReference);
    traits_.hasBackReference = true;
    Emit(PatternKind::MatchBackReference, static_cast<int32_t>(number));
    return {false, true};
  }
  ++src.pos;
  for (const Abbreviation& abbreviation : kAbbreviations) {
    if (abbreviation.letter != c) continue;
    Source expansion{abbreviation.expansion};
    try {
      const Sequence seq = ParseSequence(expansion);
      if (expansion.pos != expansion.text.size()) Fail(kPatternBadAbbreviation);
      return seq.piece;
    } catch (const CompileFailure& failure) {
      Fail(failure.code == kPatternNoMemory ? kPatternNoMemory : kPatternBadAbbreviation);
    }
  }
  Emit(PatternKind::MatchChar, c);
  return {false, false};
}

}  // namespace quorvane
