// The gadget's settings as automation properties (minutes, seconds and
// speed steps outside, milliseconds inside), their start-up through
// IPersistStreamInit, and the settings page they name.
#include "gadget/GadgetControl.h"
#include "host/com/ComPtr.h"

namespace quorvane {

// IDispatch: served from the type library later.
HRESULT GadgetControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT GadgetControl::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT GadgetControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT GadgetControl::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT GadgetControl::get_FeedURLs(BSTR* pBstr) {
  if (!pBstr) return S_OK;
  *pBstr = UniqueBstr(settings_.feedUrls).release();
  return *pBstr ? S_OK : E_OUTOFMEMORY;
}

HRESULT GadgetControl::put_FeedURLs(BSTR newVal) {
  settings_.feedUrls = FeedListOrDefault(UniqueBstr(SysAllocStringLen(newVal, SysStringLen(newVal))).str());
  machine_.RequestNewScreen();
  if (fetcher_) fetcher_->SetFeedList(settings_.feedUrls);
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::get_FeedRefreshRate(int* pRate) {
  if (pRate) *pRate = settings_.feedRefreshRateMs / 60'000;
  return S_OK;
}

HRESULT GadgetControl::put_FeedRefreshRate(int newVal) {
  settings_.feedRefreshRateMs = newVal * 60'000;
  if (fetcher_) fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(settings_.feedRefreshRateMs));
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::get_DelayBetweenFeeds(int* pDelay) {
  if (pDelay) *pDelay = settings_.delayBetweenFeedsMs / 1'000;
  return S_OK;
}

HRESULT GadgetControl::put_DelayBetweenFeeds(int newVal) {
  settings_.delayBetweenFeedsMs = newVal * 1'000;
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::get_SpeechSpeed(int* pSpeed) {
  if (pSpeed) *pSpeed = settings_.speechSpeed;
  return S_OK;
}

HRESULT GadgetControl::put_SpeechSpeed(int newVal) {
  settings_.speechSpeed = newVal;
  RestartTypingTimer();
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_QuorvaneRSSGadget;
  return S_OK;
}

HRESULT GadgetControl::IsDirty() { return changedMark_ ? S_OK : S_FALSE; }

HRESULT GadgetControl::Load(IStream*) { return E_NOTIMPL; }

HRESULT GadgetControl::Save(IStream*, BOOL) { return E_NOTIMPL; }

HRESULT GadgetControl::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

HRESULT GadgetControl::InitNew() {
  settings_ = GadgetSettingsRecord{};
  changedMark_ = true;
  PostMessageW(messageWindow_.Handle(), MSG_START, 0, 0);
  return S_OK;
}

HRESULT GadgetControl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) {
    pages->cElems = 0;
    return E_OUTOFMEMORY;
  }
  pages->cElems = 1;
  pages->pElems[0] = CLSID_QuorvaneRSSPropPage;
  return S_OK;
}

}  // namespace quorvane
