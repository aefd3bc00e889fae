// IContextMenu: the gadget's "Pause" item in the host's menu.
#include "gadget/GadgetControl.h"
#include "win/com/Module.h"
#include "gadget/ResourceIds.h"

namespace quorvane {

// Appends "Pause" with the first command id, checked while paused. The
// insertion index, the last id and the flags are not needed. The result is
// S_OK, not an item count: the host relies only on receiving verb 0.
HRESULT GadgetControl::QueryContextMenu(HMENU menu, UINT, UINT firstId, UINT, UINT) {
  wchar_t text[64] = {};
  LoadStringW(module::Instance(), IDS_PAUSE, text, 64);
  AppendMenuW(menu, MF_STRING, firstId, text);
  if (machine_.Paused()) CheckMenuItem(menu, firstId, MF_BYCOMMAND | MF_CHECKED);
  return S_OK;
}

// Verb 0 is the "Pause" item; the verb is read as a number, so a verb given
// as a string (a pointer) matches nothing. The redraw shows or removes the
// paused marker at once; the text stays as it is.
HRESULT GadgetControl::InvokeCommand(CMINVOKECOMMANDINFO* command) {
  if (!command) return E_INVALIDARG;
  if (reinterpret_cast<UINT_PTR>(command->lpVerb) == 0) PauseOrResume();
  return S_OK;
}

void GadgetControl::PauseOrResume() {
  machine_.TogglePause();
  RequestRedraw();
}

HRESULT GadgetControl::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) { return E_NOTIMPL; }

}  // namespace quorvane
