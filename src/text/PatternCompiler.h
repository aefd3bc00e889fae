#pragma once
// Turns a pattern text into the instructions of a PatternProgram.
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/PatternProgram.h"

namespace quorvane {

class PatternCompiler {
 public:
  explicit PatternCompiler(PatternProgram& program) : program_(program) {}

  // Compiles the whole pattern into the (already reset) program and
  // returns the error code.
  int32_t Compile(std::u16string_view pattern);

 private:
  struct Source {
    std::u16string_view text;
    size_t pos = 0;
    char16_t Peek(size_t ahead = 0) const {
      return pos + ahead < text.size() ? text[pos + ahead] : u'\0';
    }
    bool AtLast() const { return pos + 1 == text.size(); }
  };
  // What a construct may match: `flag` is the language's own empty flag
  // (it decides error 9); `nullable` is whether it really can match the
  // empty string, which the search analysis needs.
  struct Piece {
    bool flag = false;
    bool nullable = false;
  };
  struct Sequence {
    Piece piece;
    int elements = 0;
  };

  Sequence ParseSequence(Source& src, bool outermost = false);
  // Returns false when an alternation without right side dropped the element.
  bool ParseElement(Source& src, Piece& out);
  Piece ParseQuantifiedAtom(Source& src);
  Piece ParseAtom(Source& src);
  Piece ParseGroup(Source& src);
  Piece ParseCapture(Source& src);
  Piece ParseClass(Source& src);
  Piece ParseLookAhead(Source& src);
  Piece ParseEscape(Source& src);

  size_t Emit(PatternKind kind, int32_t operand = 0);
  void Reserve(size_t more) const;
  void Truncate(size_t size);
  [[noreturn]] static void Fail(int32_t code);

  PatternProgram& program_;
  std::vector<uint8_t> notes_;
  ProgramTraits traits_;
  int depth_ = 0;
};

}  // namespace quorvane
