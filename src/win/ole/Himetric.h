#pragma once
// Conversions between screen pixels and HIMETRIC units (0.01 mm), in
// which OLE exchanges extents.
#include <windows.h>

namespace quorvane {

inline SIZE ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  SIZE dpi{screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96, screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96};
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

inline SIZEL PixelsToHimetric(SIZE pixels) {
  const SIZE dpi = ScreenPixelsPerInch();
  return {MulDiv(pixels.cx, 2540, dpi.cx), MulDiv(pixels.cy, 2540, dpi.cy)};
}

inline SIZE HimetricToPixels(SIZEL himetric) {
  const SIZE dpi = ScreenPixelsPerInch();
  return {MulDiv(himetric.cx, dpi.cx, 2540), MulDiv(himetric.cy, dpi.cy, 2540)};
}

}  // namespace quorvane
