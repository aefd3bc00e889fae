#include "win/window/OwnedWindow.h"

#include <utility>

#include "win/com/Module.h"

namespace quorvane {

bool OwnedWindow::Create(const wchar_t* className, DWORD style, HWND parent, const RECT& position, Handler handler,
                         const WindowOptions& options) {
  Destroy();
  class_.emplace(className, &Procedure, options.look);
  handler_ = std::move(handler);
  CreateWindowExW(options.exStyle, class_->Name(), options.title, style, position.left, position.top,
                  position.right - position.left, position.bottom - position.top, parent, nullptr, module::Instance(),
                  this);
  if (!window_) Destroy();
  return window_ != nullptr;
}

void OwnedWindow::Destroy() {
  if (IsWindow(window_)) {
    // Detach first: the handler hears nothing of the destruction.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  window_ = nullptr;
  handler_ = nullptr;
  class_.reset();
}

LRESULT CALLBACK OwnedWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<OwnedWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<OwnedWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->handler_) return DefWindowProcW(window, msg, wParam, lParam);
  const LRESULT result = self->handler_(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // Destroyed from outside (its parent or owner went): forget the handle.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

}  // namespace quorvane
