#pragma once
// Support for the end-to-end tests: what a control's window shows, and the gadget pieces
// the tests wait for.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "DrawingFixture.h"
#include "FeedServer.h"
#include "StartAsHost.h"
#include "TestContainer.h"

namespace quorvane::test {

// The control's window as it is shown now, read back from its device context.
inline std::unique_ptr<testing::Canvas> CaptureWindow(HWND window, const std::string& snapshot) {
  RECT client{};
  GetClientRect(window, &client);
  auto canvas = std::make_unique<testing::Canvas>(client.right, client.bottom);
  HDC dc = GetDC(window);
  BitBlt(canvas->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  canvas->Snapshot(snapshot);
  return canvas;
}

// Pixels of a rectangle that are not white: text drawn on the page.
inline int InkOnPage(const testing::Canvas& canvas, const RECT& area) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += canvas.Pixel(x, y) != testing::kWhite;
  return count;
}

// The lowest row of a rectangle with text on it, or -1.
inline int LowestInkedRow(const testing::Canvas& canvas, const RECT& area) {
  for (int y = area.bottom - 1; y >= area.top; --y)
    if (InkOnPage(canvas, RECT{area.left, y, area.right, y + 1}) > 0) return y;
  return -1;
}

// Pixels of a rectangle in a clearly blue shade: text in the link colour,
// smoothed or not, against the bars' grey gradient and outlines.
inline int LinkInk(const testing::Canvas& canvas, const RECT& area) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF c = canvas.Pixel(x, y);
      count += GetBValue(c) > GetRValue(c) + 24;
    }
  }
  return count;
}

// The line height of the gadget's body font, as the platform measures it.
inline int BodyLineHeight(HFONT font) { return testing::BodyFontMetrics(font).height; }

// The window of an in-place active control, or null.
inline HWND ControlWindow(IUnknown* control) {
  ComPtr<IOleWindow> oleWindow;
  HWND window = nullptr;
  if (SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&oleWindow)))) oleWindow->GetWindow(&window);
  return window;
}

}  // namespace quorvane::test
