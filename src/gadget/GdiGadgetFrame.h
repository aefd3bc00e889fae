#pragma once
// The gadget as last drawn, kept off-screen between draws, so that a typing
// tick repaints only what it changed: the lines whose characters or cursor
// differ, from the first character that differs, into the kept picture,
// which the screen then gets in one copy. Anything else that changes the
// picture (size, dpi, drawing objects, record, pause) repaints it whole.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "feeds/FeedItem.h"
#include "gadget/GdiGadgetDrawing.h"
#include "win/base/GdiObjects.h"
#include "gadget/GdiSurface.h"
#include "gadget/TypedTextLayout.h"

namespace quorvane {

class GdiGadgetFrame {
 public:
  // Brings the kept picture up to date for `machine` at `width` x `height`
  // and `dpi` (as DrawGadgetToDc would draw it, the hold included) and
  // copies it to `target` at `bounds`. The surfaces are made compatible
  // with the first target and kept while targets are of the same kind.
  // False, with the target untouched, when they cannot be made.
  bool Draw(HDC target, const RECT& bounds, TypingMachine& machine, std::u16string_view pausedMarker,
            const GadgetDrawingResources& resources, LineBreakCache& cache, int dpi);

  // Brings the kept picture up to date without drawing it anywhere. When
  // only typed lines changed, `changed` gets the area they cover, in the
  // control's coordinates (empty when nothing changed), and the result is
  // true; false means the picture must be drawn whole (nothing kept yet, or
  // more than typed lines changed).
  bool UpdateTyping(TypingMachine& machine, std::u16string_view pausedMarker,
                    const GadgetDrawingResources& resources, LineBreakCache& cache, RECT* changed);

  // Copies `area` (control coordinates) of the kept picture to `target`,
  // where the control lies at `bounds`: after UpdateTyping, the area it
  // reported is all a screen showing the previous picture needs. False when
  // nothing is kept.
  bool CopyArea(HDC target, const RECT& bounds, const RECT& area) const;

  // Forgets the picture: the next draw paints it whole.
  void Reset() { surfaces_.reset(); }

 private:
  // What the picture shows besides the typed lines; a change repaints it whole.
  struct Scene {
    int width = 0, height = 0, dpi = 0;
    GadgetDrawingResources resources;
    FeedItem item;
    bool paused = false;
    std::u16string pausedMarker;
    bool SameAs(int width, int height, int dpi, const GadgetDrawingResources& resources,
                const TypingMachine& machine, std::u16string_view marker) const;
  };
  struct Surfaces {
    Surfaces(HDC target, int width, int pageWidth, int height, HFONT bodyFont);
    GdiSurface gadget;
    GdiSurface page;
    GdiSurface bitmaps;
    std::optional<SelectedObject> pageFont;
    int targetKind;
  };

  static int TargetKind(HDC target);
  void PaintWhole(TypingMachine& machine, std::u16string_view pausedMarker,
                  const GadgetDrawingResources& resources, LineBreakCache& cache);
  RECT RepaintLines(const TypedPage& page, std::u16string_view text, bool cursorVisible);

  std::optional<Surfaces> surfaces_;
  Scene scene_;
  TypedPage lines_;
  bool cursorVisible_ = false;
};

}  // namespace quorvane
