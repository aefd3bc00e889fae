#pragma once
// A window class of this module, registered while any user of it lives and
// unregistered after the last one. A module that is unloaded and loaded
// again (at another address) thus never finds its class still registered
// with a window procedure that points into the old, freed code.
#include <windows.h>

namespace quorvane {

// What a class looks like beyond its procedure. The default: no class
// style, no background brush (the window paints all of itself), no icon.
struct WindowClassStyle {
  UINT style = 0;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
};

class WindowClassUse {
 public:
  // Registers `name` (with `procedure`, `look` and the arrow cursor) for
  // module::Instance() unless it is already in use; then the first
  // registration's look stays.
  WindowClassUse(const wchar_t* name, WNDPROC procedure, const WindowClassStyle& look = {});
  ~WindowClassUse();
  WindowClassUse(const WindowClassUse&) = delete;
  WindowClassUse& operator=(const WindowClassUse&) = delete;

  const wchar_t* Name() const { return name_; }

 private:
  const wchar_t* name_;
};

}  // namespace quorvane
