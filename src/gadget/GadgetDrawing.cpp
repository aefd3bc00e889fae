// DrawGadget and the typing redraw: the control is drawn off-screen into
// the picture it keeps and copied to the target in one piece, so typing
// never flickers.
#include "gadget/GadgetControl.h"
#include "gadget/GdiGadgetDrawing.h"

namespace quorvane {

GadgetDrawingResources GadgetControl::DrawingResources(int dpi) {
  const GadgetDrawingResources base{bodyFont_.get(), linkFont_.get(), barBitmapTop_.get(),
                                    barBitmapBottom_.get(), kLinkColour, &feedTitleInk_, CurrentHighContrast()};
  // The kept picture holds the body font selected: let go of it before a
  // new dpi's objects replace the old ones.
  if (dpi != drawDpi_) frame_.Reset();
  bool remade = false;
  const GadgetDrawingResources resources = dpiObjects_.For(dpi, base, &remade);
  // Lines and ink are kept by font handle; a font made now may reuse a freed one's.
  if (remade) {
    lineBreaks_.Clear();
    feedTitleInk_ = TextInkCache{};
    frame_.Reset();
  }
  return resources;
}

void GadgetControl::DrawGadget(HDC dc, const RECT& bounds, int dpi) {
  const GadgetDrawingResources resources = DrawingResources(dpi);
  drawDpi_ = dpi;
  // Nothing is drawn when the off-screen surfaces cannot be made; the
  // container keeps what it had, which beats a half-drawn control.
  if (frame_.Draw(dc, bounds, machine_, pausedMarker_, resources, lineBreaks_, dpi) && ShowsFocusCue())
    DrawFocusCue(dc, bounds, dpi);
}

// A typing tick changes a character and the cursor: only their lines are
// repainted into the kept picture, and only their area goes to the screen,
// at once: asking the window system for a paint costs more than the copy.
// The focus cue crosses those lines, so with it shown the area is asked
// for instead, and the paint draws the cue again.
void GadgetControl::RedrawTyping() {
  RECT changed;
  if (!frame_.UpdateTyping(machine_, pausedMarker_, DrawingResources(drawDpi_), lineBreaks_, &changed)) {
    RequestRedraw();
  } else if (!IsRectEmpty(&changed)) {
    const bool painted = !ShowsFocusCue() && PaintNow(changed, [&](HDC dc, const RECT& bounds) {
      frame_.CopyArea(dc, bounds, changed);
    });
    if (!painted) RequestRedraw(changed);
  }
}

}  // namespace quorvane
