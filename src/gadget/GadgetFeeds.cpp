#include "gadget/GadgetFeeds.h"

#include "gadget/GadgetControl.h"
#include "win/com/ComPtr.h"

namespace quorvane {
namespace {

HRESULT Copy(const std::u16string& text, BSTR* out) {
  *out = UniqueBstr(text).release();
  return *out ? S_OK : E_OUTOFMEMORY;
}

// Seconds since 1970 (UTC) as an automation date in local time.
DATE LocalDate(int64_t seconds) {
  const ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utcTime, localTime;
  DATE date = 0;
  if (FileTimeToSystemTime(&utc, &utcTime) && SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime))
    SystemTimeToVariantTime(&localTime, &date);
  return date;
}

}  // namespace

GadgetFeeds::GadgetFeeds(GadgetControl& control) : DualPart(control, IID_IQuorvaneRSSFeeds), control_(control) {}

std::shared_ptr<const FeedOutcome> GadgetFeeds::Outcome(LONG index) const {
  const std::shared_ptr<const FeedOutcomeSnapshot> snapshot = control_.FeedOutcomes();
  if (index < 0 || static_cast<size_t>(index) >= snapshot->outcomes.size()) return nullptr;
  return snapshot->outcomes[static_cast<size_t>(index)];
}

HRESULT GadgetFeeds::Text(LONG index, BSTR* out, std::u16string FeedOutcome::*field) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  const std::shared_ptr<const FeedOutcome> outcome = Outcome(index);
  return outcome ? Copy((*outcome).*field, out) : E_INVALIDARG;
}

HRESULT GadgetFeeds::get_FeedCount(LONG* pCount) {
  if (!pCount) return E_POINTER;
  *pCount = static_cast<LONG>(control_.FeedOutcomes()->outcomes.size());
  return S_OK;
}

HRESULT GadgetFeeds::get_FeedUrl(LONG index, BSTR* pUrl) { return Text(index, pUrl, &FeedOutcome::url); }
HRESULT GadgetFeeds::get_FinalUrl(LONG index, BSTR* pUrl) { return Text(index, pUrl, &FeedOutcome::finalUrl); }
HRESULT GadgetFeeds::get_FeedTitle(LONG index, BSTR* pTitle) { return Text(index, pTitle, &FeedOutcome::feedTitle); }
HRESULT GadgetFeeds::get_FailureReason(LONG index, BSTR* pReason) { return Text(index, pReason, &FeedOutcome::reason); }

HRESULT GadgetFeeds::get_FeedState(LONG index, BSTR* pState) {
  if (!pState) return E_POINTER;
  *pState = nullptr;
  const std::shared_ptr<const FeedOutcome> outcome = Outcome(index);
  return outcome ? Copy(FeedStateName(outcome->state), pState) : E_INVALIDARG;
}

HRESULT GadgetFeeds::get_HeadlineCount(LONG index, LONG* pCount) {
  if (!pCount) return E_POINTER;
  const std::shared_ptr<const FeedOutcome> outcome = Outcome(index);
  if (!outcome) return E_INVALIDARG;
  *pCount = static_cast<LONG>(outcome->recordCount);
  return S_OK;
}

HRESULT GadgetFeeds::get_LastSuccess(LONG index, DATE* pWhen) {
  if (!pWhen) return E_POINTER;
  const std::shared_ptr<const FeedOutcome> outcome = Outcome(index);
  if (!outcome) return E_INVALIDARG;
  *pWhen = outcome->lastSuccess > 0 ? LocalDate(outcome->lastSuccess) : 0;
  return S_OK;
}

HRESULT GadgetFeeds::NextHeadline() {
  control_.StepHeadline(true);
  return S_OK;
}

HRESULT GadgetFeeds::PreviousHeadline() {
  control_.StepHeadline(false);
  return S_OK;
}

}  // namespace quorvane
