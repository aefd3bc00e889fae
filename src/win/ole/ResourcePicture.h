#pragma once
// An OLE picture of one of the module's bitmap resources.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

namespace quorvane {

// Loads bitmap `id` and wraps it in a picture that owns it. E_FAIL if the
// bitmap or the picture cannot be made.
HRESULT CreateResourcePicture(int id, IPicture** picture);

}  // namespace quorvane
