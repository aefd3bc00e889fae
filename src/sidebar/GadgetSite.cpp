#include "sidebar/GadgetSite.h"

#include "win/ole/Himetric.h"
#include "sidebar/PictureIcon.h"

namespace quorvane::sidebar {

GadgetSite::GadgetSite(IUnknown* outer, SiteHost* host, SiteOptions options)
    : ComObject(outer), host_(host), options_(options) {}

ComPtr<GadgetSite> GadgetSite::Make(SiteHost* host, SiteOptions options) {
  return ComPtr<GadgetSite>(new GadgetSite(nullptr, host, options));
}

void* GadgetSite::FindInterface(REFIID iid) {
  void* found = LookUpInterface(
      iid, {{IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
            {IID_IOleWindow, static_cast<IOleInPlaceSiteWindowless*>(this)},
            {IID_IOleInPlaceSite, static_cast<IOleInPlaceSiteWindowless*>(this)},
            {IID_IOleInPlaceSiteEx, static_cast<IOleInPlaceSiteWindowless*>(this)},
            {IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(this)},
            {IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
            {IID_IOleControlSite, static_cast<IOleControlSite*>(this)},
            {IID_IAdviseSink, static_cast<IAdviseSink*>(this)}});
  if (found) return found;
  // A plain container has no windowless site at all, and a host that is
  // not the sidebar no plug-in site.
  if (options_.windowless && IsEqualIID(iid, IID_IOleInPlaceSiteWindowless))
    return static_cast<IOleInPlaceSiteWindowless*>(this);
  if (!options_.pluginSite) return nullptr;
  return LookUpInterface(iid, {{IID_IPluginSite, static_cast<IPluginSite*>(this)},
                               {IID_IPluginAboutBox, static_cast<IPluginAboutBox*>(this)}});
}

void GadgetSite::FinalRelease() { icon_.reset(); }

HRESULT GadgetSite::Record(std::wstring_view call, IPicture* picture) {
  if (options_.listener) options_.listener->OnSiteCall(*this, call, picture);
  return S_OK;
}

HRESULT GadgetSite::Embed(IUnknown* control) {
  if (!control || !host_) return E_INVALIDARG;
  control_ = control;
  HRESULT hr = control->QueryInterface(IID_PPV_ARGS(&oleObject_));
  if (FAILED(hr)) return hr;
  control->QueryInterface(IID_PPV_ARGS(&view_));
  // The gadget asks for its site first thing (it hands over its title,
  // size and icon there), before it is loaded.
  return oleObject_->SetClientSite(this);
}

HRESULT GadgetSite::AdviseView() {
  if (!view_) return E_NOINTERFACE;
  return view_->SetAdvise(DVASPECT_CONTENT, 0, this);
}

HRESULT GadgetSite::InPlaceActivate() {
  if (!oleObject_ || !host_) return E_UNEXPECTED;
  RECT position = rect_;
  const HRESULT hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host_->HostWindow(), &position);
  if (FAILED(hr)) return hr;
  if (inPlace_) inPlace_->SetObjectRects(&rect_, &rect_);
  return S_OK;
}

HRESULT GadgetSite::Attach(IUnknown* control, IStream* state, const RECT& rect) {
  rect_ = rect;
  HRESULT hr = Embed(control);
  if (FAILED(hr)) return hr;

  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&persist)))) {
    hr = state ? persist->Load(state) : persist->InitNew();
    // A gadget that cannot read its saved state starts new rather than not
    // at all.
    if (FAILED(hr) && state) hr = persist->InitNew();
    if (FAILED(hr)) return hr;
  }
  oleObject_->SetHostNames(L"QuorvaneSidebar", nullptr);
  AdviseView();
  hr = InPlaceActivate();
  if (FAILED(hr)) return hr;
  RECT position = rect_;
  oleObject_->DoVerb(OLEIVERB_SHOW, nullptr, this, 0, host_->HostWindow(), &position);
  return S_OK;
}

void GadgetSite::Detach() {
  // Hold ourselves: the gadget's releases of its site may be the last.
  ComPtr<GadgetSite> self(this);
  if (inPlace_) inPlace_->InPlaceDeactivate();
  if (view_) view_->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
  }
  activeObject_.Reset();
  windowlessObject_.Reset();
  inPlace_.Reset();
  view_.Reset();
  oleObject_.Reset();
  control_.Reset();
  inPlaceActive_ = windowless_ = capture_ = focus_ = false;
  host_ = nullptr;
}

void GadgetSite::SetRect(const RECT& rect) {
  rect_ = rect;
  if (inPlace_) inPlace_->SetObjectRects(&rect_, &rect_);
  if (oleObject_) {
    // The gadget's extent in HIMETRIC, for those that ask for it.
    SIZEL extent = PixelsToHimetric(SIZE{rect.right - rect.left, rect.bottom - rect.top});
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
  }
  InvalidateGadget(nullptr);
}

HWND GadgetSite::ControlWindow() const {
  HWND window = nullptr;
  if (inPlace_ && !windowless_) inPlace_->GetWindow(&window);
  return window;
}

void GadgetSite::Draw(HDC dc) {
  if (!view_ || (inPlaceActive_ && !windowless_)) return;
  RECTL bounds{rect_.left, rect_.top, rect_.right, rect_.bottom};
  view_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
}

bool GadgetSite::ForwardMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!windowless_ || !windowlessObject_) return false;
  ComPtr<IOleInPlaceObjectWindowless> target = windowlessObject_;  // the call may deactivate us
  LRESULT answer = 0;
  if (target->OnWindowMessage(message, wParam, lParam, &answer) != S_OK) return false;
  *result = answer;
  return true;
}

void GadgetSite::InvalidateGadget(const RECT* rect) {
  if (!host_) return;
  RECT area = rect_;
  if (rect) IntersectRect(&area, rect, &rect_);
  ::InvalidateRect(host_->HostWindow(), &area, FALSE);
}

// IOleWindow

HRESULT GadgetSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = host_ ? host_->HostWindow() : nullptr;
  return *window ? S_OK : E_FAIL;
}

// IOleClientSite

HRESULT GadgetSite::SaveObject() {
  if (host_) host_->SaveSite(*this);
  return S_OK;
}

HRESULT GadgetSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT GadgetSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

// IOleInPlaceSite

HRESULT GadgetSite::OnInPlaceActivate() {
  BOOL noRedraw = FALSE;
  return OnInPlaceActivateEx(&noRedraw, 0);
}

HRESULT GadgetSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) {
  if (noRedraw) *noRedraw = FALSE;
  if (!control_) return E_UNEXPECTED;
  Record(L"OnInPlaceActivate");
  inPlaceActive_ = true;
  windowless_ = (flags & ACTIVATE_WINDOWLESS) != 0;
  control_->QueryInterface(IID_PPV_ARGS(&inPlace_));
  if (windowless_) control_->QueryInterface(IID_PPV_ARGS(&windowlessObject_));
  return S_OK;
}

HRESULT GadgetSite::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }

HRESULT GadgetSite::OnInPlaceDeactivateEx(BOOL) {
  Record(L"OnInPlaceDeactivate");
  inPlaceActive_ = false;
  windowless_ = false;
  windowlessObject_.Reset();
  activeObject_.Reset();
  if (capture_) ::ReleaseCapture();
  capture_ = false;
  return S_OK;
}

HRESULT GadgetSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                     RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;
  *position = rect_;
  *clip = rect_;
  info->cb = sizeof(OLEINPLACEFRAMEINFO);
  info->fMDIApp = FALSE;
  info->hwndFrame = host_ ? host_->HostWindow() : nullptr;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT GadgetSite::OnPosRectChange(LPCRECT rect) {
  // The sidebar lays gadgets out itself: the gadget keeps the place it has.
  if (!rect) return E_POINTER;
  if (inPlace_) inPlace_->SetObjectRects(&rect_, &rect_);
  return S_OK;
}

// IOleInPlaceSiteWindowless

HRESULT GadgetSite::SetCapture(BOOL capture) {
  if (!host_) return E_UNEXPECTED;
  if (capture) {
    ::SetCapture(host_->HostWindow());
    capture_ = true;
  } else if (capture_) {
    capture_ = false;
    ::ReleaseCapture();
  }
  return S_OK;
}

HRESULT GadgetSite::SetFocus(BOOL focus) {
  focus_ = focus != FALSE;
  if (focus_ && host_) ::SetFocus(host_->HostWindow());
  return S_OK;
}

HRESULT GadgetSite::GetDC(LPCRECT rect, DWORD, HDC* dc) {
  if (!dc) return E_POINTER;
  *dc = nullptr;
  if (!host_) return E_UNEXPECTED;
  HDC windowDc = ::GetDC(host_->HostWindow());
  if (!windowDc) return E_FAIL;
  RECT area = rect_;
  if (rect) IntersectRect(&area, rect, &rect_);
  IntersectClipRect(windowDc, area.left, area.top, area.right, area.bottom);
  *dc = windowDc;
  return Record(L"GetDC");
}

HRESULT GadgetSite::ReleaseDC(HDC dc) {
  if (!host_) return E_UNEXPECTED;
  ::ReleaseDC(host_->HostWindow(), dc);
  return S_OK;
}

HRESULT GadgetSite::InvalidateRect(LPCRECT rect, BOOL) {
  InvalidateGadget(rect);
  return Record(L"InvalidateRect");
}

HRESULT GadgetSite::InvalidateRgn(HRGN, BOOL) {
  InvalidateGadget(nullptr);
  return Record(L"InvalidateRect");
}

HRESULT GadgetSite::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!result) return E_POINTER;
  if (!host_) return E_UNEXPECTED;
  *result = DefWindowProcW(host_->HostWindow(), message, wParam, lParam);
  return S_OK;
}

// IOleInPlaceFrame

HRESULT GadgetSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  activeObject_ = object;
  return S_OK;
}

// IOleControlSite

HRESULT GadgetSite::GetExtendedControl(IDispatch** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT GadgetSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (!himetric || !container) return E_POINTER;
  // The sidebar's container coordinates are pixels.
  const SIZE dpi = ScreenPixelsPerInch();
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(himetric->x) * dpi.cx / 2540.0f;
    container->y = static_cast<float>(himetric->y) * dpi.cy / 2540.0f;
  } else {
    himetric->x = static_cast<LONG>(container->x * 2540.0f / dpi.cx);
    himetric->y = static_cast<LONG>(container->y * 2540.0f / dpi.cy);
  }
  return S_OK;
}

HRESULT GadgetSite::OnFocus(BOOL focus) {
  focus_ = focus != FALSE;
  return S_OK;
}

// IAdviseSink

void GadgetSite::OnViewChange(DWORD, LONG) {
  if (!inPlaceActive_ || windowless_) InvalidateGadget(nullptr);
  Record(L"OnViewChange");
}

// IPluginSite

HRESULT GadgetSite::SetTitle(BSTR title) {
  title_ = title ? std::wstring(title, SysStringLen(title)) : std::wstring();
  Record(L"SetTitle " + title_);
  if (host_) host_->OnSiteChanged(*this);
  return S_OK;
}

HRESULT GadgetSite::SetIcon(IPicture* icon) {
  Record(L"SetIcon", icon);
  UniqueIcon made(IconFromPicture(icon));
  if (!made) return icon ? E_FAIL : S_OK;
  icon_ = std::move(made);
  if (host_) host_->OnSiteChanged(*this);
  return S_OK;
}

HRESULT GadgetSite::SetDefaultSize(INT width, INT height) {
  Record(L"SetDefaultSize " + std::to_wstring(width) + L" " + std::to_wstring(height));
  if (width <= 0 || height <= 0) return E_INVALIDARG;
  defaultSize_ = SIZE{width, height};
  if (host_) host_->OnSiteChanged(*this);
  return S_OK;
}

// IPluginAboutBox

HRESULT GadgetSite::ShowAbout(IPicture* picture, BSTR text) {
  if (!host_) return E_UNEXPECTED;
  Record(L"ShowAbout", picture);
  host_->ShowAbout(*this, picture, text ? std::wstring(text, SysStringLen(text)) : std::wstring());
  return S_OK;
}

}  // namespace quorvane::sidebar
