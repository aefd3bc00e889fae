#pragma once
// The small window in which the sidebar shows a gadget's about box: the
// picture the gadget gives, its text and an OK button. One at a time; a
// new about box replaces the open one.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "win/com/ComPtr.h"
#include "win/base/UniqueAny.h"
#include "win/window/OwnedWindow.h"

namespace quorvane::sidebar {

class AboutWindow {
 public:
  void Show(HWND owner, IPicture* picture, const std::wstring& text);
  void Close();
  HWND Window() const { return window_.Handle(); }
  const std::wstring& Text() const { return text_; }

 private:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  void FitToDpi();
  int Scaled(int pixels) const;

  UniqueFont font_;  // the OK button's: goes after the window
  OwnedWindow window_;
  ComPtr<IPicture> picture_;
  std::wstring text_;
  int dpi_ = 96;  // of the monitor the box is on
};

}  // namespace quorvane::sidebar
