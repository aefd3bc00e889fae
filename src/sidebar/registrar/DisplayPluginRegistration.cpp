#include "sidebar/registrar/DisplayPluginRegistration.h"

#include "sidebar/registrar/PluginStore.h"

namespace quorvane::sidebar {

HRESULT DisplayPluginRegistration::RegisterPlugin(BSTR classId, VARIANT_BOOL option) {
  if (!classId) return E_INVALIDARG;
  return PluginStore::MarkDisplayPlugin(std::wstring(classId, SysStringLen(classId)), option != VARIANT_FALSE);
}

}  // namespace quorvane::sidebar
