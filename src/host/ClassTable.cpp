#include "host/ClassTable.h"

#include "QuorvaneRSS_h.h"
#include "gadget/GadgetControl.h"
#include "win/com/ClassFactory.h"
#include "settings/SettingsPage.h"

namespace quorvane {
namespace {

// One line per creatable class.
const ClassEntry kClasses[] = {
    {CLSID_QuorvaneRSSGadget, &GetClassFactory<GadgetControl>},
    {CLSID_QuorvaneRSSPropPage, &GetClassFactory<QuorvaneRSSPropPage>},
};

}  // namespace

std::span<const ClassEntry> ModuleClasses() { return kClasses; }

HRESULT GetModuleClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ClassEntry& entry : kClasses)
    if (IsEqualCLSID(clsid, entry.clsid)) return entry.getClassFactory(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace quorvane
