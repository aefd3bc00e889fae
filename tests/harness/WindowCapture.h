#pragma once
// Saves what a window shows as a 24-bit BMP file, read back from the
// window's own pixels (the same under Wine's null driver, X and Windows).
#include <windows.h>

#include <string>

namespace quorvane::sidebar {

// `wholeWindow`: caption and frame included; else the client area only.
bool CaptureWindow(HWND window, const std::wstring& path, bool wholeWindow);

}  // namespace quorvane::sidebar
