#include "gadget/GadgetFeedStatus.h"

#include "gadget/GadgetControl.h"

namespace quorvane {

GadgetFeedStatus::GadgetFeedStatus(GadgetControl& control)
    : DualPart(control, IID_IQuorvaneRSSFeedStatus), control_(control) {}

HRESULT GadgetFeedStatus::get_OutcomeGeneration(LONG* pGeneration) {
  if (!pGeneration) return E_POINTER;
  *pGeneration = static_cast<LONG>(control_.FeedOutcomes()->generation);
  return S_OK;
}

}  // namespace quorvane
