#pragma once
// A window class of this module, registered while any user of it lives and
// unregistered after the last one. A module that is unloaded and loaded
// again (at another address) thus never finds its class still registered
// with a window procedure that points into the old, freed code.
#include <windows.h>

namespace quorvane {

class WindowClassUse {
 public:
  // Registers `name` (with `procedure`, no background brush, the arrow
  // cursor) for module::Instance() unless it is already in use.
  WindowClassUse(const wchar_t* name, WNDPROC procedure);
  ~WindowClassUse();
  WindowClassUse(const WindowClassUse&) = delete;
  WindowClassUse& operator=(const WindowClassUse&) = delete;

  const wchar_t* Name() const { return name_; }

 private:
  const wchar_t* name_;
};

}  // namespace quorvane
