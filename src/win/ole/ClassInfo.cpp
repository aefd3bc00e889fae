// IProvideClassInfo2: the class's description from the module's type library.
#include "win/ole/ModuleTypeLib.h"
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::GetClassInfo(ITypeInfo** info) { return GetModuleTypeInfo(clsid_, info); }

// The control fires no events: it has no default source interface.
HRESULT OleControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = GUID_NULL;
  return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? S_OK : E_INVALIDARG;
}

}  // namespace quorvane
