#pragma once
// Dots per inch of windows and surfaces, for code that sizes itself to the
// screen it is on. The per-monitor functions arrived with Windows 10; they
// are looked up at run time, and on older systems (Windows 7, 8) every
// window has the system's dpi.
#include <windows.h>

namespace quorvane {

inline constexpr int kDefaultDpi = 96;

// The surface's pixels per inch (vertical): 96 when it reports none.
int DeviceDpi(HDC dc);
// The dpi of the monitor `window` is on, as the window's thread sees it:
// GetDpiForWindow where it exists, else the system's dpi.
int WindowDpi(HWND window);
// `pixels` at 96 dpi in pixels at `dpi`.
inline int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kDefaultDpi); }
// AdjustWindowRectEx with the frame sizes at `dpi`.
BOOL AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The system's message font sized for `dpi`.
LOGFONTW MessageFontForDpi(int dpi);

}  // namespace quorvane
