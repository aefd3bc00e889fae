#pragma once
// IQuorvaneRSSFeeds of the gadget control: every listed feed's last outcome
// and stepping to the next or previous headline. A part of the control with
// its own IDispatch (from the type library), since the control's IDispatch
// is IQuorvaneRSSGadget's; its IUnknown is the control's.
#include <windows.h>

#include <memory>

#include "QuorvaneRSS_h.h"
#include "feeds/FeedOutcome.h"
#include "win/ole/TypeInfoDispatch.h"

namespace quorvane {

class GadgetControl;

class GadgetFeeds final : public IQuorvaneRSSFeeds {
 public:
  explicit GadgetFeeds(GadgetControl& control) : control_(control) {}
  GadgetFeeds(const GadgetFeeds&) = delete;
  GadgetFeeds& operator=(const GadgetFeeds&) = delete;

  // IUnknown: the control's.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatch_.GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return dispatch_.GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return dispatch_.GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override {
    return dispatch_.Invoke(static_cast<IQuorvaneRSSFeeds*>(this), id, iid, locale, flags, params, result, exception,
                            argumentError);
  }

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
  TypeInfoDispatch dispatch_{IID_IQuorvaneRSSFeeds};
};

}  // namespace quorvane
