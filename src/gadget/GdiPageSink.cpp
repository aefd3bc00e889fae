#include "gadget/GdiPageSink.h"

#include <climits>

#include "win/base/GdiObjects.h"

namespace quorvane {
namespace {

// The part of the gradient strip stretched over a bar: its first 3 columns
// and every row (16 in the module's bitmap, as many as the bar is high in
// one made for another dpi).
constexpr int kStripColumns = 3;

int StripRows(HBITMAP strip) {
  BITMAP info{};
  return GetObjectW(strip, sizeof(info), &info) ? info.bmHeight : 0;
}

}  // namespace

void FillWithColour(HDC dc, const RECT& area, COLORREF colour) {
  const UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

void GdiPageSink::ClearPage(int width, int height) {
  if (contrast_) {
    FillWithColour(page_, RECT{0, 0, width, height}, contrast_->window);
    return;
  }
  PatBlt(page_, 0, 0, width, height, WHITENESS);
}

void GdiPageSink::DrawBarBackground(Bar bar, const Rect& area) {
  if (contrast_) {
    FillWithColour(page_, RECT{area.left, area.top, area.right, area.bottom}, contrast_->buttonFace);
    return;
  }
  HBITMAP bitmap = bar == Bar::kTitle ? titleBar_ : linkBar_;
  const int rows = StripRows(bitmap);
  const SelectedObject strip(bitmapSource_, bitmap);
  if (!strip.selected()) return;
  SetStretchBltMode(page_, COLORONCOLOR);
  StretchBlt(page_, area.left, area.top, area.Width(), area.Height(), bitmapSource_, 0, 0,
             kStripColumns, rows, SRCCOPY);
}

void GdiPageSink::DrawRun(int x, int y, std::u16string_view run) {
  const int length = run.size() > INT_MAX ? INT_MAX : static_cast<int>(run.size());
  TextOutW(page_, x, y, reinterpret_cast<const wchar_t*>(run.data()), length);
}

void GdiPageSink::CopyToTarget(int width, int height) {
  BitBlt(target_, 0, 0, width, height, page_, 0, 0, SRCCOPY);
}

}  // namespace quorvane
