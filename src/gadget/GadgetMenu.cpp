// IContextMenu: the gadget's "Pause" item in the host's menu. Not built yet.
#include "gadget/GadgetControl.h"

namespace quorvane {

HRESULT GadgetControl::QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) { return E_NOTIMPL; }

HRESULT GadgetControl::InvokeCommand(CMINVOKECOMMANDINFO*) { return E_NOTIMPL; }

HRESULT GadgetControl::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) { return E_NOTIMPL; }

}  // namespace quorvane
