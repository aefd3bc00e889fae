#include "gadget/GdiPageSink.h"

#include <climits>

#include "gadget/GdiObjects.h"

namespace quorvane {
namespace {

// The part of the gradient strip stretched over a bar: its first 3 columns.
constexpr int kStripColumns = 3;
constexpr int kStripRows = 16;

}  // namespace

void GdiPageSink::ClearPage(int width, int height) {
  PatBlt(page_, 0, 0, width, height, WHITENESS);
}

void GdiPageSink::DrawBarBackground(Bar bar, const Rect& area) {
  const SelectedObject strip(bitmapSource_, bar == Bar::kTitle ? titleBar_ : linkBar_);
  if (!strip.selected()) return;
  SetStretchBltMode(page_, COLORONCOLOR);
  StretchBlt(page_, area.left, area.top, area.Width(), area.Height(), bitmapSource_, 0, 0,
             kStripColumns, kStripRows, SRCCOPY);
}

void GdiPageSink::DrawRun(int x, int y, std::u16string_view run) {
  const int length = run.size() > INT_MAX ? INT_MAX : static_cast<int>(run.size());
  TextOutW(page_, x, y, reinterpret_cast<const wchar_t*>(run.data()), length);
}

void GdiPageSink::CopyToTarget(int width, int height) {
  BitBlt(target_, 0, 0, width, height, page_, 0, 0, SRCCOPY);
}

}  // namespace quorvane
