#include "host/ole/ControlWindow.h"

#include <utility>

#include "host/com/Module.h"

namespace quorvane {

bool ControlWindow::Create(HWND parent, const RECT& position, Owner* owner) {
  Destroy();
  class_.emplace(L"QuorvaneRSSControlWindow", &Procedure);
  owner_ = owner;
  // window_ is set at WM_NCCREATE, so the owner can use it during creation.
  CreateWindowExW(0, class_->Name(), nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, position.left,
                  position.top, position.right - position.left, position.bottom - position.top, parent, nullptr,
                  module::Instance(), this);
  if (!window_) Destroy();
  return window_ != nullptr;
}

void ControlWindow::Destroy() {
  if (window_) {
    // Detach first: the owner hears nothing of its window's destruction.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(window_, nullptr));
  }
  owner_ = nullptr;
  class_.reset();
}

LRESULT ControlWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return DefWindowProcW(window_, msg, wParam, lParam);
}

LRESULT CALLBACK ControlWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Messages before WM_NCCREATE and after Destroy go to the default handling.
  if (!self || !self->owner_ || msg == WM_NCCREATE) return DefWindowProcW(window, msg, wParam, lParam);
  return self->owner_->HandleWindowMessage(msg, wParam, lParam);
}

}  // namespace quorvane
