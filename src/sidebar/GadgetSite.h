#pragma once
// The sidebar's site for one gadget: the client site, in-place site
// (windowless or windowed), in-place frame, control site and view advise
// sink, plus the plug-in site and about-box interfaces a display plug-in
// asks its host for.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "host/HostInterfaces.h"
#include "host/com/ComObject.h"
#include "host/com/ComPtr.h"

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

class GadgetSite final : public ComObject,
                         public IOleClientSite,
                         public IOleInPlaceSiteWindowless,
                         public IOleInPlaceFrame,
                         public IOleControlSite,
                         public IAdviseSink,
                         public IPluginSite,
                         public IPluginAboutBox {
 public:
  GadgetSite(IUnknown* outer, SiteHost* host);
  QUORVANE_COM_IUNKNOWN

  static ComPtr<GadgetSite> Make(SiteHost* host);

  // Sites `control`, loads it from `state` (InitNew when null) and
  // activates it in place in `rect` of the host window.
  HRESULT Attach(IUnknown* control, IStream* state, const RECT& rect);
  // Deactivates and closes the gadget and lets go of it and of the host.
  void Detach();

  IUnknown* Control() const { return control_.Get(); }
  const RECT& Rect() const { return rect_; }
  void SetRect(const RECT& rect);
  bool Windowless() const { return windowless_; }
  HWND ControlWindow() const;
  const std::wstring& Title() const { return title_; }
  SIZE DefaultSize() const { return defaultSize_; }
  HICON Icon() const { return icon_; }
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
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                             RECT* clip, OLEINPLACEFRAMEINFO* info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

  // IOleInPlaceSiteEx
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }

  // IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
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

#define QUORVANE_SITE_RESERVED(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }
  // Slots of the plug-in site and about box the sidebar does not offer;
  // shared by both interfaces where their numbers meet.
  QUORVANE_SITE_RESERVED(3) QUORVANE_SITE_RESERVED(4) QUORVANE_SITE_RESERVED(5) QUORVANE_SITE_RESERVED(6)
  QUORVANE_SITE_RESERVED(7) QUORVANE_SITE_RESERVED(8) QUORVANE_SITE_RESERVED(9) QUORVANE_SITE_RESERVED(10)
  QUORVANE_SITE_RESERVED(11) QUORVANE_SITE_RESERVED(12) QUORVANE_SITE_RESERVED(13) QUORVANE_SITE_RESERVED(14)
  QUORVANE_SITE_RESERVED(15) QUORVANE_SITE_RESERVED(16) QUORVANE_SITE_RESERVED(17) QUORVANE_SITE_RESERVED(18)
  QUORVANE_SITE_RESERVED(19) QUORVANE_SITE_RESERVED(20) QUORVANE_SITE_RESERVED(21) QUORVANE_SITE_RESERVED(22)
  QUORVANE_SITE_RESERVED(23) QUORVANE_SITE_RESERVED(24) QUORVANE_SITE_RESERVED(25)
#undef QUORVANE_SITE_RESERVED

 protected:
  void* FindInterface(REFIID iid) override;
  void FinalRelease() override;

 private:
  void InvalidateGadget(const RECT* rect);

  SiteHost* host_;
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
  HICON icon_ = nullptr;
};

}  // namespace quorvane::sidebar
