#pragma once
// The sidebar's site for one gadget: the client site, in-place site
// (windowless or windowed), in-place frame, control site and view advise
// sink, plus the plug-in site and about-box interfaces a display plug-in
// asks its host for. The tests host the gadget in this same site.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <string_view>

#include "win/HostInterfaces.h"
#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"
#include "win/base/UniqueAny.h"

namespace quorvane::sidebar {

class GadgetSite;

// What the site needs from the window that shows it.
class SiteHost {
 public:
  virtual HWND HostWindow() const = 0;
  // Title, default size or icon of a gadget changed.
  virtual void OnSiteChanged(GadgetSite& site) = 0;
  virtual void ShowAbout(GadgetSite& site, IPicture* picture, const std::wstring& text) = 0;
  // The gadget asked to be saved.
  virtual void SaveSite(GadgetSite& site) = 0;

 protected:
  ~SiteHost() = default;
};

// Hears, in order, what the gadget calls on the site: "SetTitle <title>",
// "SetDefaultSize <width> <height>", "SetIcon" (with the picture),
// "ShowAbout", "OnViewChange", "InvalidateRect", "OnInPlaceActivate",
// "OnInPlaceDeactivate", "OnUIActivate", "OnUIDeactivate". A container
// that watches the gadget (a test's) hands one over in SiteOptions.
class SiteCallListener {
 public:
  virtual void OnSiteCall(GadgetSite& site, std::wstring_view call, IPicture* picture) = 0;

 protected:
  ~SiteCallListener() = default;
};

// How much of a host the site plays. The sidebar offers everything; tests
// also try the gadget under plainer hosts.
struct SiteOptions {
  bool windowless = true;  // offers IOleInPlaceSiteWindowless
  bool pluginSite = true;  // offers the plug-in site and the about box
  SiteCallListener* listener = nullptr;
};

class GadgetSite final : public ComObject,
                         public IOleClientSite,
                         public IOleInPlaceSiteWindowless,
                         public IOleInPlaceFrame,
                         public IOleControlSite,
                         public IAdviseSink,
                         public IPluginSite,
                         public IPluginAboutBox {
 public:
  GadgetSite(IUnknown* outer, SiteHost* host, SiteOptions options);
  QUORVANE_COM_IUNKNOWN

  static ComPtr<GadgetSite> Make(SiteHost* host, SiteOptions options = {});

  // Sites `control`, loads it from `state` (InitNew when null) and
  // activates it in place in `rect` of the host window.
  HRESULT Attach(IUnknown* control, IStream* state, const RECT& rect);
  // The steps of Attach, for a host (or test) that takes them one by one:
  // keeps `control` and makes this its client site; advises its view;
  // activates it in place in Rect().
  HRESULT Embed(IUnknown* control);
  HRESULT AdviseView();
  HRESULT InPlaceActivate();
  // Deactivates and closes the gadget and lets go of it and of the host.
  void Detach();

  IUnknown* Control() const { return control_.Get(); }
  const RECT& Rect() const { return rect_; }
  void SetRect(const RECT& rect);
  bool Windowless() const { return windowless_; }
  HWND ControlWindow() const;
  const std::wstring& Title() const { return title_; }
  SIZE DefaultSize() const { return defaultSize_; }
  HICON Icon() const { return icon_.get(); }
  bool HasCapture() const { return capture_; }
  bool HasFocus() const { return focus_; }

  // Paints a gadget that has no window of its own.
  void Draw(HDC dc);
  // Hands a message of the host window to a windowless gadget. True when
  // the gadget handled it (`result` set).
  bool ForwardMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // IOleWindow (shared by the in-place site and frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Record(L"OnUIActivate"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                             RECT* clip, OLEINPLACEFRAMEINFO* info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return Record(L"OnUIDeactivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

  // IOleInPlaceSiteEx
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }

  // IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return options_.windowless ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetCapture() override { return capture_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
  HRESULT STDMETHODCALLTYPE GetFocus() override { return focus_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override;
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override;
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // IOleInPlaceUIWindow, IOleInPlaceFrame: a frame without tools or menus.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL focus) override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

  // IAdviseSink
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override;
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override {}
  void STDMETHODCALLTYPE OnClose() override {}

  // IPluginSite
  HRESULT STDMETHODCALLTYPE SetTitle(BSTR title) override;
  HRESULT STDMETHODCALLTYPE SetIcon(IPicture* icon) override;
  HRESULT STDMETHODCALLTYPE SetDefaultSize(INT width, INT height) override;

  // IPluginAboutBox
  HRESULT STDMETHODCALLTYPE ShowAbout(IPicture* picture, BSTR text) override;

  // Slots of the plug-in site and about box the sidebar does not offer;
  // shared by both interfaces where their numbers meet.
  QUORVANE_HOST_SLOT_NOTIMPL(3) QUORVANE_HOST_SLOT_NOTIMPL(4) QUORVANE_HOST_SLOT_NOTIMPL(5)
  QUORVANE_HOST_SLOT_NOTIMPL(6) QUORVANE_HOST_SLOT_NOTIMPL(7) QUORVANE_HOST_SLOT_NOTIMPL(8)
  QUORVANE_HOST_SLOT_NOTIMPL(9) QUORVANE_HOST_SLOT_NOTIMPL(10) QUORVANE_HOST_SLOT_NOTIMPL(11)
  QUORVANE_HOST_SLOT_NOTIMPL(12) QUORVANE_HOST_SLOT_NOTIMPL(13) QUORVANE_HOST_SLOT_NOTIMPL(14)
  QUORVANE_HOST_SLOT_NOTIMPL(15) QUORVANE_HOST_SLOT_NOTIMPL(16) QUORVANE_HOST_SLOT_NOTIMPL(17)
  QUORVANE_HOST_SLOT_NOTIMPL(18) QUORVANE_HOST_SLOT_NOTIMPL(19) QUORVANE_HOST_SLOT_NOTIMPL(20)
  QUORVANE_HOST_SLOT_NOTIMPL(21) QUORVANE_HOST_SLOT_NOTIMPL(22) QUORVANE_HOST_SLOT_NOTIMPL(23)
  QUORVANE_HOST_SLOT_NOTIMPL(24) QUORVANE_HOST_SLOT_NOTIMPL(25)

 protected:
  void* FindInterface(REFIID iid) override;
  void FinalRelease() override;

 private:
  void InvalidateGadget(const RECT* rect);
  HRESULT Record(std::wstring_view call, IPicture* picture = nullptr);

  SiteHost* host_;
  SiteOptions options_;
  ComPtr<IUnknown> control_;
  ComPtr<IOleObject> oleObject_;
  ComPtr<IOleInPlaceObject> inPlace_;
  ComPtr<IOleInPlaceObjectWindowless> windowlessObject_;
  ComPtr<IViewObject> view_;
  ComPtr<IOleInPlaceActiveObject> activeObject_;
  RECT rect_{};
  bool inPlaceActive_ = false;
  bool windowless_ = false;
  bool capture_ = false;
  bool focus_ = false;
  std::wstring title_;
  SIZE defaultSize_{0, 0};
  UniqueIcon icon_;
};

}  // namespace quorvane::sidebar
