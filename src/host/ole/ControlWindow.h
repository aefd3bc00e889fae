#pragma once
// The window of a control that is in place with a window of its own: a
// child of the container's window that hands every message to its owner.
#include <windows.h>

#include <optional>

#include "host/ole/WindowClass.h"

namespace quorvane {

class ControlWindow {
 public:
  class Owner {
   public:
    virtual LRESULT HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

   protected:
    ~Owner() = default;
  };

  ControlWindow() = default;
  ~ControlWindow() { Destroy(); }
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  // Creates the window, hidden, at `position` in `parent`'s client area.
  bool Create(HWND parent, const RECT& position, Owner* owner);
  void Destroy();
  HWND Handle() const { return window_; }
  // Forwards a message to the window's default handling.
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::optional<WindowClassUse> class_;
  Owner* owner_ = nullptr;
  HWND window_ = nullptr;
};

}  // namespace quorvane
