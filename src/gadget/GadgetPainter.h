#pragma once
// The platform-neutral half of painting the gadget. The platform side makes
// the surfaces (the gadget surface w x h, the text page with the body font
// selected) and copies the gadget surface to the target afterwards; this
// decides everything that goes on them.
#include <string_view>

#include "gadget/FrameSink.h"
#include "gadget/GadgetGeometry.h"
#include "gadget/LineBreakCache.h"
#include "gadget/PageSink.h"
#include "gadget/TextMeasurer.h"
#include "gadget/TypingMachine.h"

namespace quorvane {

// Paints a control `width` x `height` pixels, in this order:
//  1. the text page (laid out max(width, 80) wide) into `page`, ending with
//     its copy onto the gadget surface; `measurer` measures in the body font
//     (a record stepped to while paused is first revealed a page at once);
//  2. on a full page, the machine's StartResumeWait;
//  3. into `frame`: the title if height >= 34, the feed title if
//     height >= 50, then both bar outlines.
// While paused, `pausedMarker` stands at the right end of the title bar and
// the title gives way to it; the text stays as typed. The sizes are those at
// 96 dpi scaled to `dpi` (GadgetGeometry); the measurer and the sinks bring
// fonts and strips made for the same dpi.
void PaintGadget(TypingMachine& machine, std::u16string_view pausedMarker, int width, int height,
                 TextMeasurer& measurer, PageSink& page, FrameSink& frame,
                 LineBreakCache* cache = nullptr, int dpi = GadgetGeometry::kBaseDpi);

}  // namespace quorvane
