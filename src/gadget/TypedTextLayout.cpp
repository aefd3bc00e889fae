#include "gadget/TypedTextLayout.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gadget/CharacterBoundaries.h"

namespace quorvane {
namespace {

void ClearPage(PageSink& page, const GadgetGeometry& geometry) {
  page.ClearPage(geometry.layout.Width(), geometry.layout.Height());
  if (geometry.ShowsTitleBar()) page.DrawBarBackground(Bar::kTitle, geometry.TitleBarBackground());
  if (geometry.ShowsLinkBar()) page.DrawBarBackground(Bar::kLink, geometry.LinkBarBackground());
}

}  // namespace

void DrawTypedLine(PageSink& page, int x, int y, std::u16string_view text, std::size_t start,
                   long long length, bool cursorVisible) {
  start = std::min(start, text.size());
  const auto count = static_cast<std::size_t>(
      std::clamp<long long>(length, 0, static_cast<long long>(text.size() - start)));
  if (!cursorVisible) {
    if (count > 0) page.DrawRun(x, y, text.substr(start, count));
    return;
  }
  std::u16string run(text.substr(start, count));
  run += u"_ ";
  page.DrawRun(x, y, run);
}

int PageTypedCount(TextMeasurer& measurer, std::u16string_view text, const GadgetGeometry& geometry,
                   LineBreakCache* cache, int from) {
  const int availableWidth = geometry.TextWidth();
  TextLines* known = cache ? &cache->For(text, availableWidth, measurer) : nullptr;
  int y = geometry.TextTop();
  int lineHeight = 0;
  std::size_t position = 0;
  for (std::size_t index = 0;; ++index) {
    if (y > geometry.TextBottom() - lineHeight) y = geometry.TextTop();  // the page break
    const TextLine line = known ? known->Line(index, measurer)
                                : BreakLine(text, position, availableWidth, measurer);
    position = line.end;
    y += line.height;
    lineHeight = line.height;
    // Pages before the one holding `from` are passed over.
    if (!line.last && static_cast<long long>(line.end) <= from) continue;
    if (line.last && line.end >= text.size()) return static_cast<int>(text.size());
    // The same test as the page break before the next line.
    if (line.last || y > geometry.TextBottom() - line.height)
      return static_cast<int>(CodePointStart(text, position));
  }
}

TypedPage PlanTypedPage(TextMeasurer& measurer, std::u16string_view text, int count,
                        const GadgetGeometry& geometry, LineBreakCache* cache) {
  const int availableWidth = geometry.TextWidth();
  TextLines* known = cache ? &cache->For(text, availableWidth, measurer) : nullptr;

  // Every page before the last is wiped by the next page break, so only the
  // lines of the last page are kept.
  TypedPage page;
  int y = geometry.TextTop();
  int lineHeight = 0;
  bool done = false;
  std::size_t position = 0;
  for (std::size_t index = 0; !done; ++index) {
    // Greater-than: a line that would end exactly at the bottom still fits.
    if (y > geometry.TextBottom() - lineHeight) {
      page.lines.clear();
      y = geometry.TextTop();
    }
    const TextLine line = known ? known->Line(index, measurer)
                                : BreakLine(text, position, availableWidth, measurer);
    done = line.last;
    lineHeight = line.height;
    const auto start = static_cast<long long>(line.start);
    const auto end = static_cast<long long>(line.end);
    if (end > count) {
      page.lines.push_back({line.start, count - start, y, lineHeight, true});
      done = true;
    } else {
      page.lines.push_back({line.start, end - start, y, lineHeight, done});
    }
    y += lineHeight;
    position = line.end;
  }
  // The hold comes when only the last line's final character is untyped; a
  // surrogate pair is one character, typed in one tick. At-least: a next
  // line that would end exactly at the bottom causes the hold.
  page.full = position > 0 && static_cast<long long>(CodePointStart(text, position)) == count &&
              y >= geometry.TextBottom() - lineHeight;
  return page;
}

std::u16string DrawnRun(std::u16string_view text, const PlacedLine& line, bool cursorVisible) {
  const std::size_t start = std::min(line.start, text.size());
  const auto count = static_cast<std::size_t>(
      std::clamp<long long>(line.length, 0, static_cast<long long>(text.size() - start)));
  std::u16string run(text.substr(start, count));
  if (line.typed && cursorVisible) run += u"_ ";
  return run;
}

bool LayoutTypedText(PageSink& page, TextMeasurer& measurer, std::u16string_view text, int count,
                     const GadgetGeometry& geometry, bool cursorVisible, LineBreakCache* cache) {
  const TypedPage planned = PlanTypedPage(measurer, text, count, geometry, cache);
  ClearPage(page, geometry);
  const int x = geometry.TextLeft();
  for (const PlacedLine& placed : planned.lines) {
    if (placed.typed) {
      DrawTypedLine(page, x, placed.y, text, placed.start, placed.length, cursorVisible);
    } else {
      page.DrawRun(x, placed.y, text.substr(placed.start, static_cast<std::size_t>(placed.length)));
    }
  }
  page.CopyToTarget(geometry.layout.Width(), geometry.layout.Height());
  return planned.full;
}

}  // namespace quorvane
