#include "gadget/GdiGadgetDrawing.h"

#include "gadget/GadgetGeometry.h"
#include "gadget/GadgetPainter.h"
#include "gadget/GdiFrameSink.h"
#include "win/base/GdiObjects.h"
#include "gadget/GdiPageSink.h"
#include "gadget/GdiSurface.h"
#include "gadget/GdiTextMeasurer.h"

namespace quorvane {

bool DrawGadgetToDc(HDC target, const RECT& bounds, TypingMachine& machine,
                    std::u16string_view pausedMarker, const GadgetDrawingResources& resources,
                    LineBreakCache& cache, GadgetDrawStats* stats, int dpi) {
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return true;

  // The gadget's surface, the text page (laid out at least 80 wide and cut
  // by the final copy) and a surface the bar bitmaps are copied from; each
  // made from the one before.
  const GdiSurface gadget(target, width, height);
  if (!gadget.valid()) return false;
  const GdiSurface page(gadget.dc(), GadgetGeometry::ForControl(width, height, dpi).layout.Width(), height);
  if (!page.valid()) return false;
  const GdiSurface bitmaps(page.dc());
  if (!bitmaps.valid()) return false;
  const SelectedObject pageFont(page.dc(), resources.bodyFont);
  const HighContrastColours* contrast = resources.highContrast ? &*resources.highContrast : nullptr;
  if (contrast) SetTextColor(page.dc(), contrast->windowText);

  GdiTextMeasurer measurer(page.dc(), resources.bodyFont);
  GdiPageSink pageSink(page.dc(), bitmaps.dc(), gadget.dc(), resources.barBitmapTop,
                       resources.barBitmapBottom, contrast);
  GdiFrameSink frame(gadget.dc(), resources.bodyFont, resources.linkFont, resources.linkColour,
                     resources.feedTitleInk, contrast);
  PaintGadget(machine, pausedMarker, width, height, measurer, pageSink, frame, &cache, dpi);

  BitBlt(target, bounds.left, bounds.top, width, height, gadget.dc(), 0, 0, SRCCOPY);
  if (stats) stats->measureCalls = measurer.Calls();
  return true;
}

}  // namespace quorvane
