#include "win/Dpi.h"

namespace quorvane {
namespace {

// A user32 function that older systems lack, or null.
template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = DeviceDpi(screen);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

int DeviceDpi(HDC dc) {
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

BOOL AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjust) return adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
  return AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

LOGFONTW MessageFontForDpi(int dpi) {
  using ParametersFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto parametersForDpi = User32Function<ParametersFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (parametersForDpi &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
    return metrics.lfMessageFont;
  // Older systems give the font at the system's dpi, the only one they have.
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  const int system = SystemDpi();
  if (system != dpi) metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, system);
  return metrics.lfMessageFont;
}

}  // namespace quorvane
