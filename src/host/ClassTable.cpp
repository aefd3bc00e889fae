#include "host/ClassTable.h"

#include <array>

namespace quorvane {
namespace {

// One line per creatable class.
const std::array<ClassEntry, 0> kClasses{};

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
