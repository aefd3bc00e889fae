#include "gadget/LineBreaker.h"

namespace quorvane {

TextLine BreakLine(std::u16string_view text, std::size_t from, int availableWidth,
                   TextMeasurer& measurer) {
  const std::size_t n = text.size();
  std::size_t start = from;
  while (start < n && text[start] == u' ') ++start;

  std::size_t lastBreak = start;  // just after the last space passed
  int spaces = 0;
  bool overflowAtSpace = false;
  bool last = false;
  std::size_t end = start;
  std::size_t q = start;
  for (;;) {
    const std::size_t wordStart = q;
    const std::size_t space = text.find(u' ', q);
    if (space == std::u16string_view::npos || space + 1 == n) {
      // The final word (with a trailing space, if any) fits only together
      // with everything before it on this line.
      q = n;
      if (measurer.Measure(text.substr(start, n - start)).width < availableWidth) {
        end = n;
        last = true;
      } else {
        end = lastBreak;
      }
      break;
    }
    q = space + 1;
    ++spaces;
    lastBreak = q;
    if (measurer.Measure(text.substr(start, space - start)).width >= availableWidth) {
      end = wordStart;
      overflowAtSpace = true;
      break;
    }
  }

  if (spaces <= 1) {
    last = true;
    // Only the first word can overflow with one space counted: keep it.
    if (overflowAtSpace) end = q;
  }

  const int height = measurer.Measure(text.substr(start, end - start)).height;
  return TextLine{start, end, height, last};
}

}  // namespace quorvane
