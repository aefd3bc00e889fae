#pragma once
// A window of one of the module's private classes that hands every message
// to its owner's handler: the one way this code base writes a window
// procedure. The control's own window when it is in place with one, the
// gadget's message-only window, and the sidebar's windows use it.
#include <windows.h>

#include <functional>
#include <optional>

#include "win/window/WindowClass.h"

namespace quorvane {

// More of a window than its class, style, parent and place.
struct WindowOptions {
  const wchar_t* title = nullptr;
  DWORD exStyle = 0;
  WindowClassStyle look{};
};

class OwnedWindow {
 public:
  using Handler = std::function<LRESULT(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)>;

  OwnedWindow() = default;
  ~OwnedWindow() { Destroy(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  // Creates the window at `position` in `parent` (or owned by it, for a
  // top-level window; CW_USEDEFAULT in `position.left` and `.top` lets the
  // system place it). The handler gets every message from WM_NCCREATE on
  // (the handle is already known then) until Destroy, or through
  // WM_NCDESTROY when something else destroys the window; it must outlive
  // the window.
  bool Create(const wchar_t* className, DWORD style, HWND parent, const RECT& position, Handler handler,
              const WindowOptions& options = {});
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
