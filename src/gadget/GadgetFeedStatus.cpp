#include "gadget/GadgetFeedStatus.h"

#include "gadget/GadgetControl.h"

namespace quorvane {

HRESULT GadgetFeedStatus::QueryInterface(REFIID iid, void** out) {
  return control_.ControllingUnknown()->QueryInterface(iid, out);
}
ULONG GadgetFeedStatus::AddRef() { return control_.ControllingUnknown()->AddRef(); }
ULONG GadgetFeedStatus::Release() { return control_.ControllingUnknown()->Release(); }

HRESULT GadgetFeedStatus::get_OutcomeGeneration(LONG* pGeneration) {
  if (!pGeneration) return E_POINTER;
  *pGeneration = static_cast<LONG>(control_.FeedOutcomes()->generation);
  return S_OK;
}

}  // namespace quorvane
