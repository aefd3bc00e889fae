#pragma once
// The gadget's one property page: edits the feed list, the refresh
// interval, the typing speed and the wait between screens. It reads and
// writes them only through the properties of IQuorvaneRSSGadget of the
// objects the frame hands it; it converts no units.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"

namespace quorvane {

class QuorvaneRSSPropPage final : public ComObject, public IPropertyPage {
 public:
  explicit QuorvaneRSSPropPage(IUnknown* outer) : ComObject(outer) {}
  ~QuorvaneRSSPropPage() override;
  QUORVANE_COM_IUNKNOWN

  // IPropertyPage
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE Show(UINT command) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCommand(WORD id, WORD code);

  void Opening();
  void ApplyToObjects();
  void Add();
  void Remove();
  void MarkChanged();
  void TellSite(DWORD status);
  void ShowMessage(const wchar_t* text, int focusId);
  std::vector<std::u16string> FeedListEntries() const;

  ComPtr<IPropertyPageSite> site_;
  std::vector<ComPtr<IUnknown>> objects_;
  bool changed_ = false;       // the page's dirty flag
  bool feedsChanged_ = false;  // a feed was added or removed; never cleared
  HWND dialog_ = nullptr;
};

}  // namespace quorvane
