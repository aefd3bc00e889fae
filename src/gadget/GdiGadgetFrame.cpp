#include "gadget/GdiGadgetFrame.h"

#include <algorithm>

#include "gadget/GadgetGeometry.h"
#include "gadget/GadgetPainter.h"
#include "gadget/GdiFrameSink.h"
#include "gadget/GdiPageSink.h"
#include "gadget/GdiTextMeasurer.h"

namespace quorvane {
namespace {

bool SameResources(const GadgetDrawingResources& a, const GadgetDrawingResources& b) {
  return a.bodyFont == b.bodyFont && a.linkFont == b.linkFont && a.barBitmapTop == b.barBitmapTop &&
         a.barBitmapBottom == b.barBitmapBottom && a.linkColour == b.linkColour && a.highContrast == b.highContrast;
}

bool SamePage(const TypedPage& a, const TypedPage& b) {
  return !a.lines.empty() && !b.lines.empty() && a.lines.front().start == b.lines.front().start &&
         a.lines.front().y == b.lines.front().y;
}

}  // namespace

bool GdiGadgetFrame::Scene::SameAs(int w, int h, int d, const GadgetDrawingResources& r,
                                   const TypingMachine& machine, std::u16string_view marker) const {
  const FeedItem& shown = machine.CurrentItem();
  return width == w && height == h && dpi == d && SameResources(resources, r) && paused == machine.Paused() &&
         pausedMarker == marker && item.title == shown.title && item.feedTitle == shown.feedTitle &&
         item.description == shown.description;
}

GdiGadgetFrame::Surfaces::Surfaces(HDC target, int width, int pageWidth, int height, HFONT bodyFont)
    : gadget(target, width, height), page(gadget.dc(), pageWidth, height), bitmaps(page.dc()),
      targetKind(TargetKind(target)) {
  if (page.valid()) pageFont.emplace(page.dc(), bodyFont);
}

// Surfaces are kept for targets like the first: the screen, or memory
// bitmaps of one depth. Metafiles and printers get a drawing of their own.
int GdiGadgetFrame::TargetKind(HDC target) {
  switch (GetObjectType(target)) {
    case OBJ_DC:
      return 1;
    case OBJ_MEMDC: {
      BITMAP selected{};
      GetObjectW(GetCurrentObject(target, OBJ_BITMAP), sizeof(selected), &selected);
      return 100 + selected.bmBitsPixel;
    }
    default:
      return 0;
  }
}

bool GdiGadgetFrame::Draw(HDC target, const RECT& bounds, TypingMachine& machine,
                          std::u16string_view pausedMarker, const GadgetDrawingResources& resources,
                          LineBreakCache& cache, int dpi) {
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return true;
  const int kind = TargetKind(target);
  if (kind == 0) return DrawGadgetToDc(target, bounds, machine, pausedMarker, resources, cache, nullptr, dpi);

  RECT changed;
  const bool kept = surfaces_ && surfaces_->targetKind == kind && scene_.width == width &&
                    scene_.height == height && scene_.dpi == dpi && scene_.resources.bodyFont == resources.bodyFont;
  if (!kept) {
    surfaces_.reset();
    surfaces_.emplace(target, width, GadgetGeometry::ForControl(width, height, dpi).layout.Width(), height,
                      resources.bodyFont);
    if (!surfaces_->gadget.valid() || !surfaces_->page.valid() || !surfaces_->bitmaps.valid() ||
        !surfaces_->pageFont->selected()) {
      surfaces_.reset();
      return false;
    }
    scene_.width = width;
    scene_.height = height;
    scene_.dpi = dpi;
    PaintWhole(machine, pausedMarker, resources, cache);
  } else if (!UpdateTyping(machine, pausedMarker, resources, cache, &changed)) {
    PaintWhole(machine, pausedMarker, resources, cache);
  }
  BitBlt(target, bounds.left, bounds.top, width, height, surfaces_->gadget.dc(), 0, 0, SRCCOPY);
  return true;
}

bool GdiGadgetFrame::CopyArea(HDC target, const RECT& bounds, const RECT& area) const {
  if (!surfaces_) return false;
  BitBlt(target, bounds.left + area.left, bounds.top + area.top, area.right - area.left, area.bottom - area.top,
         surfaces_->gadget.dc(), area.left, area.top, SRCCOPY);
  return true;
}

void GdiGadgetFrame::PaintWhole(TypingMachine& machine, std::u16string_view pausedMarker,
                                const GadgetDrawingResources& resources, LineBreakCache& cache) {
  Surfaces& s = *surfaces_;
  const HDC page = s.page.dc();
  const HighContrastColours* contrast = resources.highContrast ? &*resources.highContrast : nullptr;
  SetTextColor(page, contrast ? contrast->windowText : GdiSurface::kTextColour);
  GdiTextMeasurer measurer(page, resources.bodyFont);
  GdiPageSink pageSink(page, s.bitmaps.dc(), s.gadget.dc(), resources.barBitmapTop, resources.barBitmapBottom,
                       contrast);
  GdiFrameSink frame(s.gadget.dc(), resources.bodyFont, resources.linkFont, resources.linkColour,
                     resources.feedTitleInk, contrast);
  cursorVisible_ = machine.CursorVisible();  // as drawn: a hold started by the paint changes it
  PaintGadget(machine, pausedMarker, scene_.width, scene_.height, measurer, pageSink, frame, &cache, scene_.dpi);

  scene_.resources = resources;
  scene_.item = machine.CurrentItem();
  scene_.paused = machine.Paused();
  scene_.pausedMarker = std::u16string(pausedMarker);
  lines_ = PlanTypedPage(measurer, scene_.item.description, machine.TypedCount(),
                         GadgetGeometry::ForControl(scene_.width, scene_.height, scene_.dpi), &cache);
}

bool GdiGadgetFrame::UpdateTyping(TypingMachine& machine, std::u16string_view pausedMarker,
                                  const GadgetDrawingResources& resources, LineBreakCache& cache, RECT* changed) {
  *changed = RECT{};
  if (!surfaces_ || machine.RevealDue() ||
      !scene_.SameAs(scene_.width, scene_.height, scene_.dpi, resources, machine, pausedMarker))
    return false;
  const GadgetGeometry geometry = GadgetGeometry::ForControl(scene_.width, scene_.height, scene_.dpi);
  GdiTextMeasurer measurer(surfaces_->page.dc(), resources.bodyFont);
  const bool cursorVisible = machine.CursorVisible();
  TypedPage next = PlanTypedPage(measurer, scene_.item.description, machine.TypedCount(), geometry, &cache);
  if (!SamePage(lines_, next)) return false;
  *changed = RepaintLines(next, scene_.item.description, cursorVisible);
  lines_ = std::move(next);
  cursorVisible_ = cursorVisible;
  if (lines_.full) machine.StartResumeWait();
  return true;
}

// Each line that differs is repainted across the page: filled, then drawn
// whole, so it comes out as a whole repaint draws it. (Measured extents
// cannot say where a character starts: Wine places glyphs narrower than it
// measures them.)
RECT GdiGadgetFrame::RepaintLines(const TypedPage& next, std::u16string_view text, bool cursorVisible) {
  const HDC page = surfaces_->page.dc();
  const GadgetGeometry geometry = GadgetGeometry::ForControl(scene_.width, scene_.height, scene_.dpi);
  const int pageRight = geometry.layout.Width();
  const int left = geometry.TextLeft();
  RECT changed{};
  const std::size_t count = std::max(lines_.lines.size(), next.lines.size());
  for (std::size_t i = 0; i < count; ++i) {
    const bool before = i < lines_.lines.size(), after = i < next.lines.size();
    const std::u16string was = before ? DrawnRun(text, lines_.lines[i], cursorVisible_) : std::u16string();
    const std::u16string now = after ? DrawnRun(text, next.lines[i], cursorVisible) : std::u16string();
    const PlacedLine& place = after ? next.lines[i] : lines_.lines[i];
    if (was == now) continue;
    RECT band{0, place.y, pageRight, place.y + place.height};
    if (scene_.resources.highContrast) {
      FillWithColour(page, band, scene_.resources.highContrast->window);
    } else {
      PatBlt(page, band.left, band.top, band.right - band.left, band.bottom - band.top, WHITENESS);
    }
    if (!now.empty())
      TextOutW(page, left, place.y, reinterpret_cast<const wchar_t*>(now.data()), static_cast<int>(now.size()));
    band.right = std::min<LONG>(band.right, scene_.width);
    if (band.left >= band.right) continue;
    BitBlt(surfaces_->gadget.dc(), band.left, band.top, band.right - band.left, band.bottom - band.top, page,
           band.left, band.top, SRCCOPY);
    UnionRect(&changed, &changed, &band);
  }
  return changed;
}

}  // namespace quorvane
