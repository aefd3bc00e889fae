#pragma once
// The client site of the test container: it plays the sidebar host for one
// control. Besides the OLE site, in-place site (windowless if allowed) and
// frame, it answers for the plug-in site and the about box and records, in
// order, what the control calls on them and on the advise sink.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "host/com/ComObject.h"
#include "host/com/ComPtr.h"

namespace quorvane::test {

struct SiteOptions {
  bool windowless = false;  // CanWindowlessActivate says yes
  bool pluginSite = true;   // answers for the plug-in site and the about box
  RECT position{0, 0, 160, 100};
};

class ContainerSite final : public ComObject,
                            public IOleClientSite,
                            public IOleInPlaceSiteWindowless,
                            public IOleInPlaceFrame,
                            public IAdviseSink,
                            public IPluginSite,
                            public IPluginAboutBox {
 public:
  ContainerSite(IUnknown* outer, HWND window, SiteOptions options);
  QUORVANE_COM_IUNKNOWN

  // What the control called, in order: "SetTitle QuorvaneRSS",
  // "SetDefaultSize 80 50", "SetIcon", "ShowAbout", "OnViewChange",
  // "InvalidateRect", "OnInPlaceActivate", "OnInPlaceDeactivate",
  // "OnUIActivate", "OnUIDeactivate".
  std::vector<std::wstring> calls;
  ComPtr<IPicture> icon;          // last SetIcon
  ComPtr<IPicture> aboutPicture;  // last ShowAbout
  std::wstring aboutText;
  int Count(const std::wstring& call) const;
  const SiteOptions& Options() const { return options_; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (site and frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return Record(L"OnInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Record(L"OnUIActivate"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return Record(L"OnUIDeactivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return Record(L"OnInPlaceDeactivate"); }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return Record(L"OnInPlaceDeactivate"); }
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return options_.windowless ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFocus() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC* dc) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return Record(L"InvalidateRect"); }
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // IOleInPlaceUIWindow, IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IAdviseSink
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override { Record(L"OnViewChange"); }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override {}
  void STDMETHODCALLTYPE OnClose() override {}

  // IPluginSite (13, 14, 23) and IPluginAboutBox (26); every other slot of
  // both is a placeholder.
  HRESULT STDMETHODCALLTYPE SetTitle(BSTR title) override;
  HRESULT STDMETHODCALLTYPE SetIcon(IPicture* picture) override;
  HRESULT STDMETHODCALLTYPE SetDefaultSize(INT width, INT height) override;
  HRESULT STDMETHODCALLTYPE ShowAbout(IPicture* picture, BSTR text) override;
#define QUORVANE_TEST_SLOT(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }
  QUORVANE_TEST_SLOT(3) QUORVANE_TEST_SLOT(4) QUORVANE_TEST_SLOT(5) QUORVANE_TEST_SLOT(6)
  QUORVANE_TEST_SLOT(7) QUORVANE_TEST_SLOT(8) QUORVANE_TEST_SLOT(9) QUORVANE_TEST_SLOT(10)
  QUORVANE_TEST_SLOT(11) QUORVANE_TEST_SLOT(12) QUORVANE_TEST_SLOT(13) QUORVANE_TEST_SLOT(14)
  QUORVANE_TEST_SLOT(15) QUORVANE_TEST_SLOT(16) QUORVANE_TEST_SLOT(17) QUORVANE_TEST_SLOT(18)
  QUORVANE_TEST_SLOT(19) QUORVANE_TEST_SLOT(20) QUORVANE_TEST_SLOT(21) QUORVANE_TEST_SLOT(22)
  QUORVANE_TEST_SLOT(23) QUORVANE_TEST_SLOT(24) QUORVANE_TEST_SLOT(25)
#undef QUORVANE_TEST_SLOT

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  HRESULT Record(std::wstring call) {
    calls.push_back(std::move(call));
    return S_OK;
  }

  HWND window_;
  SiteOptions options_;
};

}  // namespace quorvane::test
