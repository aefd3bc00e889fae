// DrawGadget: the whole control drawn off-screen and copied to the target
// in one piece, so typing never flickers.
#include "gadget/GadgetControl.h"
#include "gadget/GdiGadgetDrawing.h"

namespace quorvane {

void GadgetControl::DrawGadget(HDC dc, const RECT& bounds, int dpi) {
  const std::u16string paused = PausedText();  // the marker in the title bar
  const GadgetDrawingResources base{bodyFont_.get(), linkFont_.get(), barBitmapTop_.get(),
                                    barBitmapBottom_.get(), kLinkColour, &feedTitleInk_};
  bool remade = false;
  const GadgetDrawingResources resources = dpiObjects_.For(dpi, base, &remade);
  // Lines and ink are kept by font handle; a font made now may reuse a freed one's.
  if (remade) {
    lineBreaks_.Clear();
    feedTitleInk_ = TextInkCache{};
  }
  drawDpi_ = dpi;
  // Nothing is drawn when the off-screen surfaces cannot be made; the
  // container keeps what it had, which beats a half-drawn control.
  if (DrawGadgetToDc(dc, bounds, machine_, paused, resources, lineBreaks_, nullptr, dpi) && ShowsFocusCue())
    DrawFocusCue(dc, bounds, dpi);
}

}  // namespace quorvane
