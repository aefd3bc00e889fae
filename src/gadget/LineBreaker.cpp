#include "gadget/LineBreaker.h"

#include <algorithm>
#include <vector>

#include "gadget/CharacterBoundaries.h"

namespace quorvane {
namespace {

// Runs longer than this many characters are first measured by their start:
// when that alone is too wide, so is the run, and a word of thousands of
// characters costs no more than a short one. Widths grow with every
// character added, so the outcome is the same as measuring the whole run.
std::size_t PrefixLimit(int availableWidth) { return std::max<std::size_t>(256, std::max(availableWidth, 0)); }

class RunWidth {
 public:
  RunWidth(std::u16string_view text, int availableWidth, TextMeasurer& measurer)
      : text_(text), width_(availableWidth), limit_(PrefixLimit(availableWidth)), measurer_(measurer) {}

  std::size_t Limit() const { return limit_; }

  // Whether text[from, to) is narrower than the area.
  bool Fits(std::size_t from, std::size_t to) {
    if (to - from > limit_ && !Narrower(from, from + limit_)) return false;
    return Narrower(from, to);
  }

  bool Narrower(std::size_t from, std::size_t to) {
    return measurer_.Measure(text_.substr(from, to - from)).width < width_;
  }

 private:
  std::u16string_view text_;
  int width_;
  std::size_t limit_;
  TextMeasurer& measurer_;
};

// The end of the longest run of whole characters from `start`, up to the
// next space, that is narrower than the area; at least one character. The
// run is doubled until it no longer fits, then halved back, so a line costs
// a few measurements however long the word.
std::size_t BreakWord(std::u16string_view text, std::size_t start, RunWidth& widths) {
  std::vector<std::size_t> ends;  // ends[i]: the end of the first i + 1 characters
  const auto known = [&](std::size_t count) {
    while (ends.size() < count) {
      const std::size_t from = ends.empty() ? start : ends.back();
      if (from >= text.size() || text[from] == u' ') return false;
      ends.push_back(CharacterEnd(text, from));
    }
    return true;
  };
  if (!known(1)) return start;
  std::size_t fits = 0;     // index of a run known to be taken
  std::size_t tooWide = 0;  // index of a run known not to fit, or ends.size()
  for (std::size_t probe = 1;; probe *= 2) {
    if (!known(probe + 1)) {
      tooWide = ends.size();
      break;
    }
    if (!widths.Narrower(start, ends[probe])) {
      tooWide = probe;
      break;
    }
    fits = probe;
  }
  while (tooWide - fits > 1) {
    const std::size_t middle = fits + (tooWide - fits) / 2;
    (widths.Narrower(start, ends[middle]) ? fits : tooWide) = middle;
  }
  return ends[fits];
}

// The first space in text[from, to), or npos.
std::size_t FindSpace(std::u16string_view text, std::size_t from, std::size_t to) {
  const std::size_t found = text.substr(0, std::min(to, text.size())).find(u' ', from);
  return found;
}

}  // namespace

TextLine BreakLine(std::u16string_view text, std::size_t from, int availableWidth,
                   TextMeasurer& measurer) {
  const std::size_t n = text.size();
  std::size_t start = std::min(from, n);
  while (start < n && text[start] == u' ') ++start;

  RunWidth widths(text, availableWidth, measurer);
  // A run longer than the prefix limit is too wide once its start is, so the
  // search for the next space needs to look no further than that.
  const std::size_t horizon = start + widths.Limit() + 1;
  std::size_t end = start;
  bool last = false;
  for (std::size_t q = start;;) {
    const std::size_t wordStart = q;
    std::size_t space = FindSpace(text, q, horizon);
    if (space == std::u16string_view::npos && horizon < n) {
      if (!widths.Narrower(start, start + widths.Limit())) {
        end = wordStart;
        break;
      }
      space = text.find(u' ', q);
    }
    if (space == std::u16string_view::npos || space + 1 == n) {
      // The final word (with a trailing space, if any) fits only together
      // with everything before it on this line.
      if (widths.Fits(start, n)) {
        end = n;
        last = true;
      } else {
        end = wordStart;
      }
      break;
    }
    if (!widths.Fits(start, space)) {
      end = wordStart;  // just after the previous space
      break;
    }
    q = space + 1;
  }

  if (end == start && !last) {
    end = BreakWord(text, start, widths);
    // A word that fits but for the text's trailing spaces ends the text.
    if (std::all_of(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(),
                    [](char16_t c) { return c == u' '; })) {
      end = n;
      last = true;
    }
  }

  const int height = measurer.Measure(text.substr(start, end - start)).height;
  return TextLine{start, end, height, last};
}

}  // namespace quorvane
