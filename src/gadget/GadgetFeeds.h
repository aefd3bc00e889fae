#pragma once
// IQuorvaneRSSFeeds of the gadget control: every listed feed's last outcome
// and stepping to the next or previous headline. A part of the control with
// its own IDispatch (from the type library), since the control's IDispatch
// is IQuorvaneRSSGadget's; its IUnknown is the control's.
#include <windows.h>

#include <memory>

#include "QuorvaneRSS_h.h"
#include "feeds/FeedOutcome.h"
#include "win/ole/DualPart.h"

namespace quorvane {

class GadgetControl;

class GadgetFeeds final : public DualPart<IQuorvaneRSSFeeds> {
 public:
  explicit GadgetFeeds(GadgetControl& control);

  // IQuorvaneRSSFeeds. An index outside 0 to FeedCount - 1 gives E_INVALIDARG.
  HRESULT STDMETHODCALLTYPE get_FeedCount(LONG* pCount) override;
  HRESULT STDMETHODCALLTYPE get_FeedUrl(LONG index, BSTR* pUrl) override;
  HRESULT STDMETHODCALLTYPE get_FeedState(LONG index, BSTR* pState) override;
  HRESULT STDMETHODCALLTYPE get_HeadlineCount(LONG index, LONG* pCount) override;
  HRESULT STDMETHODCALLTYPE get_LastSuccess(LONG index, DATE* pWhen) override;
  HRESULT STDMETHODCALLTYPE get_FinalUrl(LONG index, BSTR* pUrl) override;
  HRESULT STDMETHODCALLTYPE get_FeedTitle(LONG index, BSTR* pTitle) override;
  HRESULT STDMETHODCALLTYPE get_FailureReason(LONG index, BSTR* pReason) override;
  HRESULT STDMETHODCALLTYPE NextHeadline() override;
  HRESULT STDMETHODCALLTYPE PreviousHeadline() override;

 private:
  std::shared_ptr<const FeedOutcome> Outcome(LONG index) const;
  HRESULT Text(LONG index, BSTR* out, std::u16string FeedOutcome::*field) const;

  GadgetControl& control_;
};

}  // namespace quorvane
