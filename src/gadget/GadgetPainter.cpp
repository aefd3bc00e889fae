#include "gadget/GadgetPainter.h"

#include "gadget/GadgetGeometry.h"
#include "gadget/TypedTextLayout.h"

namespace quorvane {

void PaintGadget(TypingMachine& machine, std::u16string_view pausedText, int width, int height,
                 TextMeasurer& measurer, PageSink& page, FrameSink& frame, LineBreakCache* cache, int dpi) {
  const GadgetGeometry geometry = GadgetGeometry::ForControl(width, height, dpi);
  const bool pageFull =
      LayoutTypedText(page, measurer, machine.ScreenText(pausedText), machine.TypedCount(),
                      geometry, machine.CursorVisible(), cache);
  if (pageFull) machine.StartResumeWait();

  const FeedItem& item = machine.CurrentItem();
  if (geometry.ShowsTitleBar()) frame.DrawBarText(BarText::kTitle, geometry.TitleTextRect(), item.title);
  if (geometry.ShowsLinkBar()) {
    frame.DrawBarText(BarText::kFeedTitle, geometry.LinkTextRect(), item.feedTitle);
  }
  frame.DrawOutline(geometry.TitleBarOutline());
  frame.DrawOutline(geometry.LinkBarOutline());
}

}  // namespace quorvane
