// In-place activation, windowed or windowless, and UI activation.
#include "win/ole/OleControl.h"

namespace quorvane {

HRESULT OleControl::InPlaceActivate() {
  if (inPlaceActive_) {
    if (Window()) ShowWindow(Window(), SW_SHOW);
    return S_OK;
  }
  if (!clientSite_) return E_UNEXPECTED;
  ComPtr<IOleInPlaceSite> site;
  if (FAILED(clientSite_.As(&site))) return E_NOINTERFACE;

  // Windowless when the site allows it, else with a window of our own.
  BOOL noRedraw = FALSE;
  ComPtr<IOleInPlaceSiteWindowless> windowless;
  ComPtr<IOleInPlaceSiteEx> siteEx;
  if (SUCCEEDED(clientSite_.As(&windowless)) && windowless->CanWindowlessActivate() == S_OK) {
    if (FAILED(windowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS))) return E_FAIL;
    windowless_ = true;
    windowlessSite_ = windowless;
    siteEx = windowless;
  } else {
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    const HRESULT hr = SUCCEEDED(clientSite_.As(&siteEx)) ? siteEx->OnInPlaceActivateEx(&noRedraw, 0)
                                                          : site->OnInPlaceActivate();
    if (FAILED(hr)) return E_FAIL;
    windowless_ = false;
  }
  inPlaceSite_ = site;
  inPlaceSiteEx_ = siteEx;
  inPlaceActive_ = true;

  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof(frameInfo);
  RECT position{}, clip{};
  frame_.Reset();
  uiWindow_.Reset();
  site->GetWindowContext(&frame_, &uiWindow_, &position, &clip, &frameInfo);
  positionRect_ = position;

  if (!windowless_) {
    HWND parent = nullptr;
    site->GetWindow(&parent);
    const auto handler = [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
      return HandleWindowMessage(window, msg, wParam, lParam);
    };
    if (!window_.Create(L"QuorvaneRSSControlWindow", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent,
                        positionRect_, handler)) {
      InPlaceDeactivate();
      return E_FAIL;
    }
    ShowWindow(Window(), SW_SHOW);
  } else if (!noRedraw) {
    windowlessSite_->InvalidateRect(nullptr, TRUE);
  }
  return S_OK;
}

HRESULT OleControl::UIActivate() {
  const HRESULT hr = InPlaceActivate();
  if (FAILED(hr) || uiActive_) return hr;
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  if (Window()) SetFocus(Window());
  if (frame_) {
    frame_->SetActiveObject(this, nullptr);
    frame_->SetBorderSpace(nullptr);
  }
  if (uiWindow_) {
    uiWindow_->SetActiveObject(this, nullptr);
    uiWindow_->SetBorderSpace(nullptr);
  }
  return S_OK;
}

HRESULT OleControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT OleControl::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  inPlaceActive_ = false;
  window_.Destroy();
  if (inPlaceSiteEx_)
    inPlaceSiteEx_->OnInPlaceDeactivateEx(TRUE);
  else if (inPlaceSite_)
    inPlaceSite_->OnInPlaceDeactivate();
  windowless_ = false;
  windowlessSite_.Reset();
  inPlaceSiteEx_.Reset();
  inPlaceSite_.Reset();
  frame_.Reset();
  uiWindow_.Reset();
  return S_OK;
}

HRESULT OleControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  positionRect_ = *position;
  if (Window())
    MoveWindow(Window(), position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
}

HRESULT OleControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = Window();
  return *window ? S_OK : E_FAIL;
}

HWND OleControl::ContainerWindow() const {
  HWND window = nullptr;
  if (inPlaceActive_ && inPlaceSite_) inPlaceSite_->GetWindow(&window);
  return window;
}

// A windowless container hands us the messages of the control's area.
HRESULT OleControl::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT handled = 0;
  if (!OnControlMessage(msg, wParam, lParam, handled)) return S_FALSE;
  if (result) *result = handled;
  return S_OK;
}

}  // namespace quorvane
