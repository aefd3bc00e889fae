#pragma once
// A window of one of the module's private classes that hands every message
// to its owner's handler: the control's own window when it is in place with
// one, and the gadget's message-only window.
#include <windows.h>

#include <functional>
#include <optional>

#include "host/ole/WindowClass.h"

namespace quorvane {

class OwnedWindow {
 public:
  using Handler = std::function<LRESULT(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)>;

  OwnedWindow() = default;
  ~OwnedWindow() { Destroy(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  // Creates the window, without a title, at `position` in `parent`. The
  // handler gets every message from WM_NCCREATE on (the handle is already
  // known then) until Destroy; it must outlive the window.
  bool Create(const wchar_t* className, DWORD style, HWND parent, const RECT& position, Handler handler);
  // Destroys the window (if it still exists) without telling the handler.
  void Destroy();
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::optional<WindowClassUse> class_;
  Handler handler_;
  HWND window_ = nullptr;
};

}  // namespace quorvane
