#include "gadget/GadgetPainter.h"

#include <algorithm>

#include "gadget/GadgetGeometry.h"
#include "gadget/TypedTextLayout.h"

namespace quorvane {

namespace {

// The marker sits at the title bar's right end, in the control's visible
// width; the title keeps what is left, cut with an ellipsis.
void DrawTitleBar(FrameSink& frame, TextMeasurer& measurer, const GadgetGeometry& geometry, int width,
                  std::u16string_view titleText, std::u16string_view marker) {
  Rect title = geometry.TitleTextRect();
  if (!marker.empty()) {
    const int gap = geometry.Scaled(6);
    const int right = std::min(title.right, width) - geometry.Scaled(3);
    const Rect markerArea{right - measurer.Measure(marker).width - geometry.Scaled(1), title.top, right,
                          title.bottom};
    frame.DrawBarText(BarText::kTitle, markerArea, marker);
    title.right = std::max(title.left, markerArea.left - gap);
  }
  frame.DrawBarText(BarText::kTitle, title, titleText);
}

}  // namespace

void PaintGadget(TypingMachine& machine, std::u16string_view pausedMarker, int width, int height,
                 TextMeasurer& measurer, PageSink& page, FrameSink& frame, LineBreakCache* cache, int dpi) {
  const GadgetGeometry geometry = GadgetGeometry::ForControl(width, height, dpi);
  const std::u16string_view text = machine.CurrentItem().description;
  if (machine.RevealDue())
    machine.RevealPage(PageTypedCount(measurer, text, geometry, cache, machine.RevealFrom()));
  const bool pageFull = LayoutTypedText(page, measurer, text, machine.TypedCount(), geometry,
                                        machine.CursorVisible(), cache);
  if (pageFull) machine.StartResumeWait();

  const FeedItem& item = machine.CurrentItem();
  if (geometry.ShowsTitleBar()) {
    DrawTitleBar(frame, measurer, geometry, width, item.title,
                 machine.Paused() ? pausedMarker : std::u16string_view());
  }
  if (geometry.ShowsLinkBar()) {
    frame.DrawBarText(BarText::kFeedTitle, geometry.LinkTextRect(), item.feedTitle);
  }
  frame.DrawOutline(geometry.TitleBarOutline());
  frame.DrawOutline(geometry.LinkBarOutline());
}

}  // namespace quorvane
