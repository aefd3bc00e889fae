// The gadget's settings as automation properties (minutes, seconds and
// speed steps outside, milliseconds inside), their persistence through
// IPersistStreamInit, and the settings page they name.
#include <algorithm>
#include <optional>

#include "gadget/GadgetControl.h"
#include "win/com/ComPtr.h"
#include "settings/IStreamByteStream.h"
#include "settings/SettingsBounds.h"
#include "settings/SettingsStream.h"

namespace quorvane {

HRESULT GadgetControl::GetTypeInfoCount(UINT* count) { return dispatch_.GetTypeInfoCount(count); }

HRESULT GadgetControl::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
  return dispatch_.GetTypeInfo(index, locale, info);
}

HRESULT GadgetControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  return dispatch_.GetIDsOfNames(iid, names, count, locale, ids);
}

HRESULT GadgetControl::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argumentError) {
  return dispatch_.Invoke(static_cast<IQuorvaneRSSGadget*>(this), id, iid, locale, flags, params, result, exception,
                          argumentError);
}

HRESULT GadgetControl::get_FeedURLs(BSTR* pBstr) {
  if (!pBstr) return S_OK;
  *pBstr = UniqueBstr(settings_.feedUrls).release();
  return *pBstr ? S_OK : E_OUTOFMEMORY;
}

HRESULT GadgetControl::put_FeedURLs(BSTR newVal) {
  // The feed list is a zero-terminated string: it ends at its first zero
  // character, as it would after a save and a load.
  std::u16string value;
  if (newVal) {
    const auto* text = reinterpret_cast<const char16_t*>(newVal);
    value.assign(text, std::find(text, text + SysStringLen(newVal), u'\0'));
  }
  settings_.feedUrls = FeedListOrDefault(std::move(value));
  machine_.RequestNewScreen();
  if (fetcher_) fetcher_->SetFeedList(settings_.feedUrls);
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::get_FeedRefreshRate(int* pRate) {
  if (pRate) *pRate = MsToMinutes(settings_.feedRefreshRateMs);
  return S_OK;
}

HRESULT GadgetControl::put_FeedRefreshRate(int newVal) {
  settings_.feedRefreshRateMs = MinutesToMs(newVal);
  if (fetcher_) fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(settings_.feedRefreshRateMs));
  changedMark_ = true;
  return S_OK;
}

HRESULT GadgetControl::get_DelayBetweenFeeds(int* pDelay) {
  if (pDelay) *pDelay = MsToSeconds(settings_.delayBetweenFeedsMs);
  return S_OK;
}

HRESULT GadgetControl::put_DelayBetweenFeeds(int newVal) {
  settings_.delayBetweenFeedsMs = SecondsToMs(newVal);  // the next wait uses it
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

// Never fails: an unreadable or too-new stream leaves the default feed and
// whatever numbers were there or were read, and the display starts anyway.
HRESULT GadgetControl::Load(IStream* stream) {
  std::optional<IStreamByteStream> bytes;
  if (stream) bytes.emplace(*stream);
  if (ReadSettings(bytes ? &*bytes : nullptr, settings_) == SettingsLoad::Complete) changedMark_ = false;
  if (fetcher_) fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(settings_.feedRefreshRateMs));
  PostMessageW(messageWindow_.Handle(), MSG_START, 0, 0);
  return S_OK;
}

HRESULT GadgetControl::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_INVALIDARG;
  IStreamByteStream bytes(*stream);
  const HRESULT hr = WriteSettings(bytes, settings_);
  if (FAILED(hr)) return hr;
  if (clearDirty) changedMark_ = false;
  return S_OK;
}

HRESULT GadgetControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = SettingsStreamSize(settings_);
  return S_OK;
}

HRESULT GadgetControl::InitNew() {
  settings_ = GadgetSettingsRecord{};
  if (fetcher_) fetcher_->SetRefreshIntervalMs(static_cast<uint32_t>(settings_.feedRefreshRateMs));
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
