#pragma once
// Draws the whole gadget into a device context without flicker: everything
// goes to off-screen surfaces first and reaches the target in one copy.
#include <windows.h>

#include <cstddef>
#include <string_view>

#include <optional>

#include "gadget/HighContrast.h"
#include "gadget/LineBreakCache.h"
#include "gadget/TextInk.h"
#include "gadget/TypingMachine.h"

namespace quorvane {

// The control's drawing objects; not owned.
struct GadgetDrawingResources {
  HFONT bodyFont = nullptr;         // title and text area
  HFONT linkFont = nullptr;         // feed title (underlined)
  HBITMAP barBitmapTop = nullptr;   // gradient strip of the title bar
  HBITMAP barBitmapBottom = nullptr;  // gradient strip of the link bar
  COLORREF linkColour = RGB(1, 24, 116);
  TextInkCache* feedTitleInk = nullptr;  // optional: the feed title's ink, kept between draws
  // While a high-contrast theme is on: its colours, in place of the
  // gadget's own and of the strips.
  std::optional<HighContrastColours> highContrast;
};

struct GadgetDrawStats {
  std::size_t measureCalls = 0;  // text measurements made by this draw
};

// Draws the gadget for `machine` into `target` at `bounds`. On a full page
// the machine's hold is started. `cache` keeps line breaks between draws
// and must only ever see fonts that stay alive while it holds their lines
// (the control owns both). Returns false, with the target untouched, when
// the off-screen surfaces cannot be made; an empty `bounds` draws nothing
// and counts as success. The sizes are scaled to `dpi`, for which
// `resources` must have been made (GadgetDpiObjects).
bool DrawGadgetToDc(HDC target, const RECT& bounds, TypingMachine& machine,
                    std::u16string_view pausedMarker, const GadgetDrawingResources& resources,
                    LineBreakCache& cache, GadgetDrawStats* stats = nullptr, int dpi = 96);

}  // namespace quorvane
