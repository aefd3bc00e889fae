#pragma once
// IQuorvaneRSSFeedStatus of the gadget control: a number that changes with
// every change of a feed's outcome, so a status view knows when to read
// IQuorvaneRSSFeeds again. A part of the control.
#include <windows.h>

#include "QuorvaneRSS_h.h"
#include "win/ole/DualPart.h"

namespace quorvane {

class GadgetControl;

class GadgetFeedStatus final : public DualPart<IQuorvaneRSSFeedStatus> {
 public:
  explicit GadgetFeedStatus(GadgetControl& control);

  HRESULT STDMETHODCALLTYPE get_OutcomeGeneration(LONG* pGeneration) override;

 private:
  GadgetControl& control_;
};

}  // namespace quorvane
