// DrawGadget: the whole control drawn off-screen and copied to the target
// in one piece, so typing never flickers.
#include "gadget/GadgetControl.h"
#include "gadget/GdiGadgetDrawing.h"

namespace quorvane {

void GadgetControl::DrawGadget(HDC dc, const RECT& bounds) {
  const std::u16string paused = PausedText();  // the marker in the title bar
  const GadgetDrawingResources resources{bodyFont_.get(), linkFont_.get(), barBitmapTop_.get(),
                                         barBitmapBottom_.get(), kLinkColour, &feedTitleInk_};
  // Nothing is drawn when the off-screen surfaces cannot be made; the
  // container keeps what it had, which beats a half-drawn control.
  DrawGadgetToDc(dc, bounds, machine_, paused, resources, lineBreaks_);
}

}  // namespace quorvane
