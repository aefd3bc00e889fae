#pragma once
// Owners for GDI objects and device contexts, and a guard that puts back
// whatever a SelectObject replaced. Declare a guard after the objects it
// selects, so that it is undone first: GDI refuses to delete an object that
// is still selected into a device context.
#include <windows.h>

#include "win/base/UniqueAny.h"

namespace quorvane {

// Pens, brushes, fonts and bitmaps are owned by UniqueBitmap, UniqueFont,
// UniquePen and UniqueBrush (win/base/UniqueAny.h).

// A memory device context made with CreateCompatibleDC, deleted once.
class MemoryDc : public UniqueDc {
 public:
  MemoryDc() = default;
  explicit MemoryDc(HDC compatibleWith) : UniqueDc(CreateCompatibleDC(compatibleWith)) {}
};

// Selects an object into a device context for the guard's lifetime.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  bool selected() const { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace quorvane
