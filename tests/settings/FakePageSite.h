#pragma once
// A property frame's page site that records the page's status reports.
#include <ocidl.h>

#include <vector>

#include "win/com/ComObject.h"

namespace quorvane::test {

class FakePageSite final : public ComObject, public IPropertyPageSite {
 public:
  explicit FakePageSite(IUnknown* outer) : ComObject(outer) {}
  QUORVANE_COM_IUNKNOWN

  std::vector<DWORD> statuses;

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD status) override {
    statuses.push_back(status);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override {
    *container = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IPropertyPageSite, static_cast<IPropertyPageSite*>(this)}});
  }
};

}  // namespace quorvane::test
