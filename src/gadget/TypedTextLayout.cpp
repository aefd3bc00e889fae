#include "gadget/TypedTextLayout.h"

#include <algorithm>
#include <string>

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

bool LayoutTypedText(PageSink& page, TextMeasurer& measurer, std::u16string_view text, int count,
                     const Rect& layout, bool cursorVisible, LineBreakCache* cache) {
  const GadgetGeometry geometry = GadgetGeometry::ForLayout(layout);
  const int availableWidth = geometry.TextWidth();
  TextLines* known = cache ? &cache->For(text, availableWidth, measurer) : nullptr;

  ClearPage(page, geometry);
  int y = geometry.TextTop();
  int lineHeight = 0;
  bool done = false;
  std::size_t position = 0;
  std::size_t lastEnd = 0;
  for (std::size_t index = 0; !done; ++index) {
    // Greater-than: a line that would end exactly at the bottom still fits.
    if (y > geometry.TextBottom() - lineHeight) {
      page.NewPage();
      ClearPage(page, geometry);
      y = geometry.TextTop();
    }
    const TextLine line = known ? known->Line(index, measurer)
                                : BreakLine(text, position, availableWidth, measurer);
    done = line.last;
    lineHeight = line.height;
    const int x = geometry.TextLeft();
    if (static_cast<long long>(line.end) > count) {
      DrawTypedLine(page, x, y, text, line.start, static_cast<long long>(count) - line.start,
                    cursorVisible);
      done = true;
    } else if (done) {
      DrawTypedLine(page, x, y, text, line.start, line.end - line.start, cursorVisible);
    } else {
      page.DrawRun(x, y, text.substr(line.start, line.end - line.start));
    }
    y += lineHeight;
    position = line.end;
    lastEnd = line.end;
  }
  page.CopyToTarget(geometry.layout.Width(), geometry.layout.Height());

  // At-least: a next line that would end exactly at the bottom causes the hold.
  return static_cast<long long>(lastEnd) == static_cast<long long>(count) + 1 &&
         y >= geometry.TextBottom() - lineHeight;
}

}  // namespace quorvane
