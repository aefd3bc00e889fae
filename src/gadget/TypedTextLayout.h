#pragma once
// The text area: the screen text word-wrapped, typed up to a count, with the
// cursor behind the typed part, on as many pages as the text needs. The
// whole text is laid out from its first character on every draw, so the
// page shown is always the one that holds the typed position; earlier pages
// are laid out but not drawn, since a page break would wipe them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gadget/GadgetGeometry.h"
#include "gadget/LineBreakCache.h"
#include "gadget/PageSink.h"
#include "gadget/TextMeasurer.h"

namespace quorvane {

// Draws the page of `text` that holds position `count` into `page` for the
// layout rectangle `layout`: white page, the bars' backgrounds (by height),
// every line of the page, the typed line cut at `count` and followed by the
// cursor "_ " if `cursorVisible`; then copies the page to the target.
//
// Returns true when the page is full: the last line drawn is typed up to,
// not including, its final character and the next line would reach the
// bottom of the text area or beyond. The caller then starts the hold.
//
// With a cache, lines laid out by an earlier call for the same text, width
// and font are not measured again; the drawing is the same either way.
bool LayoutTypedText(PageSink& page, TextMeasurer& measurer, std::u16string_view text, int count,
                     const GadgetGeometry& geometry, bool cursorVisible, LineBreakCache* cache = nullptr);
// The same at 96 dpi.
inline bool LayoutTypedText(PageSink& page, TextMeasurer& measurer, std::u16string_view text, int count,
                            const Rect& layout, bool cursorVisible, LineBreakCache* cache = nullptr) {
  return LayoutTypedText(page, measurer, text, count, GadgetGeometry::ForLayout(layout), cursorVisible, cache);
}

// One line of the page shown: `length` characters of the text from `start`
// at height `y`; a typed line is cut at the count and takes the cursor.
struct PlacedLine {
  std::size_t start = 0;
  long long length = 0;
  int y = 0;
  int height = 0;
  bool typed = false;
};

// The page of the text that holds the typed position, as LayoutTypedText
// draws it, and whether it is full (the hold is due).
struct TypedPage {
  std::vector<PlacedLine> lines;
  bool full = false;
};
TypedPage PlanTypedPage(TextMeasurer& measurer, std::u16string_view text, int count,
                        const GadgetGeometry& geometry, LineBreakCache* cache = nullptr);

// The characters drawn for `line`: its run, and for a typed line the cursor
// "_ " when `cursorVisible`.
std::u16string DrawnRun(std::u16string_view text, const PlacedLine& line, bool cursorVisible);

// The typed count that shows whole the page of `text` that holds position
// `from` (the first page from 0): the whole text when that page is its
// last, else the page's last line typed up to its final character (the
// space it was broken at), as when typing holds on a full page. Laid out as
// LayoutTypedText would.
int PageTypedCount(TextMeasurer& measurer, std::u16string_view text, const GadgetGeometry& geometry,
                   LineBreakCache* cache = nullptr, int from = 0);
// The first page at 96 dpi.
inline int FirstPageTypedCount(TextMeasurer& measurer, std::u16string_view text, const Rect& layout,
                               LineBreakCache* cache = nullptr) {
  return PageTypedCount(measurer, text, GadgetGeometry::ForLayout(layout), cache);
}

// Draws `length` characters of `text` from `start` at (x, y), followed by
// "_ " if `cursorVisible`. A negative length (typed position inside the
// spaces skipped at a line start) counts as 0.
void DrawTypedLine(PageSink& page, int x, int y, std::u16string_view text, std::size_t start,
                   long long length, bool cursorVisible);

}  // namespace quorvane
