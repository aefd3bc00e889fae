#pragma once
// Saves what a window shows as a 24-bit BMP file, read back from the
// window's own pixels (the same under Wine's null driver, X and Windows).
#include <windows.h>

#include <string>

#include "win/base/GdiObjects.h"

namespace quorvane::sidebar {

// `wholeWindow`: caption and frame included; else the client area only.
bool CaptureWindow(HWND window, const std::wstring& path, bool wholeWindow);

// Copies the window's pixels from `from` on (in its whole-window or client
// coordinates) into a new DIB section shaped by `info`: `bitmap`, whose
// pixels `bits` points at.
bool CopyWindowPixels(HWND window, bool wholeWindow, POINT from, BITMAPINFO& info, UniqueBitmap& bitmap,
                      void*& bits);

}  // namespace quorvane::sidebar
