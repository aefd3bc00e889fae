#pragma once
// The small window in which the sidebar shows a gadget's about box: the
// picture the gadget gives, its text and an OK button. One at a time; a
// new about box replaces the open one.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "host/com/ComPtr.h"

namespace quorvane::sidebar {

class AboutWindow {
 public:
  AboutWindow() = default;
  ~AboutWindow() { Close(); }
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  void Show(HWND owner, IPicture* picture, const std::wstring& text);
  void Close();
  HWND Window() const { return window_; }
  const std::wstring& Text() const { return text_; }

 private:
  static void RegisterClassOnce();
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  ComPtr<IPicture> picture_;
  std::wstring text_;
};

}  // namespace quorvane::sidebar
