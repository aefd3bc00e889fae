#include "ContainerSite.h"

#include <algorithm>

namespace quorvane::test {

ContainerSite::ContainerSite(IUnknown* outer, HWND window, SiteOptions options)
    : ComObject(outer), window_(window), options_(options) {}

void* ContainerSite::FindInterface(REFIID iid) {
  void* found = LookUpInterface(
      iid, {
               {IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
               {IID_IOleWindow, static_cast<IOleWindow*>(static_cast<IOleInPlaceSiteWindowless*>(this))},
               {IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this)},
               {IID_IOleInPlaceSiteEx, static_cast<IOleInPlaceSiteEx*>(this)},
               {IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceUIWindow*>(this)},
               {IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
               {IID_IAdviseSink, static_cast<IAdviseSink*>(this)},
           });
  if (found) return found;
  // A plain container has no windowless site at all.
  if (IsEqualIID(iid, IID_IOleInPlaceSiteWindowless) && options_.windowless)
    return static_cast<IOleInPlaceSiteWindowless*>(this);
  if (options_.pluginSite) {
    if (IsEqualIID(iid, IID_IPluginSite)) return static_cast<IPluginSite*>(this);
    if (IsEqualIID(iid, IID_IPluginAboutBox)) return static_cast<IPluginAboutBox*>(this);
  }
  return nullptr;
}

int ContainerSite::Count(const std::wstring& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

HRESULT ContainerSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT ContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) {
    *frame = this;
    AddRef();
  }
  if (document) *document = nullptr;
  if (position) *position = options_.position;
  if (clip) *clip = options_.position;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT ContainerSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
  if (noRedraw) *noRedraw = FALSE;
  return Record(L"OnInPlaceActivate");
}

HRESULT ContainerSite::GetDC(LPCRECT, DWORD, HDC* dc) {
  if (!dc) return E_POINTER;
  *dc = ::GetDC(window_);
  return *dc ? S_OK : E_FAIL;
}

HRESULT ContainerSite::ReleaseDC(HDC dc) {
  ::ReleaseDC(window_, dc);
  return S_OK;
}

HRESULT ContainerSite::InvalidateRect(LPCRECT rect, BOOL erase) {
  ::InvalidateRect(window_, rect ? rect : &options_.position, erase);
  return Record(L"InvalidateRect");
}

HRESULT ContainerSite::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (result) *result = DefWindowProcW(window_, msg, wParam, lParam);
  return S_OK;
}

HRESULT ContainerSite::SetTitle(BSTR title) {
  return Record(L"SetTitle " + std::wstring(title ? title : L"", title ? SysStringLen(title) : 0));
}

HRESULT ContainerSite::SetIcon(IPicture* picture) {
  icon = picture;
  return Record(L"SetIcon");
}

HRESULT ContainerSite::SetDefaultSize(INT width, INT height) {
  return Record(L"SetDefaultSize " + std::to_wstring(width) + L" " + std::to_wstring(height));
}

HRESULT ContainerSite::ShowAbout(IPicture* picture, BSTR text) {
  aboutPicture = picture;
  aboutText.assign(text ? text : L"", text ? SysStringLen(text) : 0);
  return Record(L"ShowAbout");
}

}  // namespace quorvane::test
