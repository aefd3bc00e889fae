#pragma once
// IQuorvaneRSSFeedStatus of the gadget control: a number that changes with
// every change of a feed's outcome, so a status view knows when to read
// IQuorvaneRSSFeeds again. A part of the control with its own IDispatch;
// its IUnknown is the control's.
#include <windows.h>

#include "QuorvaneRSS_h.h"
#include "win/ole/TypeInfoDispatch.h"

namespace quorvane {

class GadgetControl;

class GadgetFeedStatus final : public IQuorvaneRSSFeedStatus {
 public:
  explicit GadgetFeedStatus(GadgetControl& control) : control_(control) {}
  GadgetFeedStatus(const GadgetFeedStatus&) = delete;
  GadgetFeedStatus& operator=(const GadgetFeedStatus&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatch_.GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return dispatch_.GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return dispatch_.GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override {
    return dispatch_.Invoke(static_cast<IQuorvaneRSSFeedStatus*>(this), id, iid, locale, flags, params, result,
                            exception, argumentError);
  }

  HRESULT STDMETHODCALLTYPE get_OutcomeGeneration(LONG* pGeneration) override;

 private:
  GadgetControl& control_;
  TypeInfoDispatch dispatch_{IID_IQuorvaneRSSFeedStatus};
};

}  // namespace quorvane
