#pragma once
// The standard OLE control set that a container needs to create, site, draw
// and in-place activate a control, written once for the module's controls.
//
// A control derives from OleControl and its own interfaces, repeats
// QUORVANE_COM_IUNKNOWN, looks up its own interfaces first in FindInterface
// and ends with OleControl::FindInterface, and fills in the hooks below:
//   OnDraw            paint into a target DC within the given bounds, at the
//                     given dpi
//   OnControlMessage  messages of the control's own window, or those a
//                     windowless container forwards; return true if handled
//   OnClientSiteSet   runs after SetClientSite's standard handling
//   OnFinalRelease    runs when the last reference goes, before destruction
// and calls RequestRedraw when its picture has changed (PaintNow when a
// small, frequent change should reach the screen without a paint message).
//
// In-place activation is windowless when the site offers it, else the
// control gets a child window of the container's window.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"
#include "win/window/OwnedWindow.h"

namespace quorvane {

class OleControl : public ComObject,
                   public IOleObject,
                   public IOleControl,
                   public IOleInPlaceObjectWindowless,
                   public IOleInPlaceActiveObject,
                   public IViewObjectEx,
                   public IQuickActivate,
                   public IDataObject,
                   public IProvideClassInfo2,
                   public ISupportErrorInfo,
                   public IObjectWithSite {
 public:
  // A derived class with interfaces of its own repeats this line.
  QUORVANE_COM_IUNKNOWN

  // IOleObject (OleObject.cpp)
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return OLE_S_USEREG; }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

  // IOleWindow, IOleInPlaceObject(Windowless), IOleInPlaceActiveObject
  // (InPlaceObject.cpp)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

  // IViewObject, IViewObject2, IViewObjectEx (ViewObject.cpp)
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                 LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override;
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) override;
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) override;
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override {
    return E_NOTIMPL;
  }

  // IQuickActivate (QuickActivate.cpp)
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override { return SetExtent(DVASPECT_CONTENT, size); }
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override { return GetExtent(DVASPECT_CONTENT, size); }

  // IDataObject: no data formats; advise connections only (DataObject.cpp)
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

  // IProvideClassInfo2, ISupportErrorInfo (ClassInfo.cpp)
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

  // IObjectWithSite (ObjectWithSite.cpp)
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** site) override;

 protected:
  // `initialSize` in pixels; `miscStatus` is what GetMiscStatus reports.
  OleControl(IUnknown* outer, const CLSID& clsid, SIZE initialSize, DWORD miscStatus);
  ~OleControl() override;

  void* FindInterface(REFIID iid) override;

  // Hooks (see the top of this file).
  virtual void OnDraw(HDC dc, const RECT& bounds, int dpi) = 0;
  virtual bool OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual HRESULT OnClientSiteSet() { return S_OK; }
  virtual void OnFinalRelease() {}

  // Asks for the control to be drawn again: windowed, its window is
  // invalidated with erasing; windowless in place, the site invalidates the
  // control's area; not in place, the view's advise sink hears OnViewChange.
  void RequestRedraw();
  // The same for `area` only, in the control's own coordinates (0, 0 at
  // its top-left corner), without erasing.
  void RequestRedraw(const RECT& area);
  // Paints `area` (control coordinates) now instead of asking for a paint:
  // `paint` gets a device context of the screen, clipped to the area, and
  // the control's bounds in it. In place only: through the site's GetDC
  // when windowless, else the control's own window's. False, with nothing
  // painted, when no such context can be had; RequestRedraw then.
  bool PaintNow(const RECT& area, const std::function<void(HDC, const RECT&)>& paint);

  IOleClientSite* ClientSite() const { return clientSite_.Get(); }
  // The rectangle the container assigned, in the container window's
  // client coordinates; empty until in-place activation.
  const RECT& PositionRect() const { return positionRect_; }
  bool InPlaceActive() const { return inPlaceActive_; }
  bool Windowless() const { return inPlaceActive_ && windowless_; }
  // The control's own window, if it is in place with one.
  HWND Window() const { return window_.Handle(); }
  // The container's window the control is in place in (a windowless
  // control's pointer and keys come from it); null when not in place.
  HWND ContainerWindow() const;

 private:
  void FinalRelease() final;
  LRESULT HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HRESULT InPlaceActivate();
  HRESULT UIActivate();
  // The dpi a drawing into `dc` is made for (ViewObject.cpp).
  int DrawingDpi(HDC dc) const;
  HRESULT ShowPropertyPages(HWND parent);

  const CLSID& clsid_;
  const DWORD miscStatus_;
  SIZEL extent_;  // HIMETRIC

  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IDataAdviseHolder> dataAdviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
  ComPtr<IUnknown> objectSite_;

  // In-place state.
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceSiteEx> inPlaceSiteEx_;
  ComPtr<IOleInPlaceSiteWindowless> windowlessSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow_;
  RECT positionRect_{};
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
  OwnedWindow window_;
};

}  // namespace quorvane
