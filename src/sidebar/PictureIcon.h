#pragma once
// Turns the picture a gadget gives as its icon into a window icon.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

namespace quorvane::sidebar {

// A new icon (the caller destroys it) of the picture's bitmap or icon, or
// null when the picture holds neither.
HICON IconFromPicture(IPicture* picture);

}  // namespace quorvane::sidebar
