#include "TestContainer.h"

namespace quorvane::test {
namespace {
constexpr wchar_t kClassName[] = L"QuorvaneTestContainer";
}

TestContainer::TestContainer(SiteOptions options) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kClassName, L"Test container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                            0, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  IOleClientSite* site = nullptr;
  CreateComObject<ContainerSite>(nullptr, IID_IOleClientSite, reinterpret_cast<void**>(&site), window_, options);
  site_ = static_cast<ContainerSite*>(site);
}

TestContainer::~TestContainer() {
  Close();
  static_cast<IOleClientSite*>(site_)->Release();
  DestroyWindow(window_);
}

HRESULT TestContainer::Embed(IUnknown* control) {
  control_.Reset();
  const HRESULT hr = control->QueryInterface(IID_PPV_ARGS(&control_));
  if (FAILED(hr)) return hr;
  return control_->SetClientSite(site_);
}

HRESULT TestContainer::AdviseView() {
  ComPtr<IViewObject> view;
  if (!control_ || FAILED(control_.As(&view))) return E_NOINTERFACE;
  return view->SetAdvise(DVASPECT_CONTENT, 0, site_);
}

HRESULT TestContainer::Activate() {
  if (!control_) return E_UNEXPECTED;
  RECT position = site_->Options().position;
  return control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, window_, &position);
}

void TestContainer::Close() {
  if (!control_) return;
  control_->Close(OLECLOSE_NOSAVE);
  if (ComPtr<IViewObject> view; SUCCEEDED(control_.As(&view))) view->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  control_->SetClientSite(nullptr);
  control_.Reset();
}

void TestContainer::PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK TestContainer::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<TestContainer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && self->site_) return self->Handle(msg, wParam, lParam);
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A windowless control gets the mouse messages and is drawn by us.
LRESULT TestContainer::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  const bool hasWindowless = control_ && site_->Options().windowless && SUCCEEDED(control_.As(&windowless));
  if (hasWindowless && msg == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (ComPtr<IViewObject> view; SUCCEEDED(control_.As(&view))) {
      const RECT& position = site_->Options().position;
      RECTL bounds{position.left, position.top, position.right, position.bottom};
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    }
    EndPaint(window_, &paint);
    return 0;
  }
  if (hasWindowless && ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_SETCURSOR)) {
    LRESULT result = 0;
    if (windowless->OnWindowMessage(msg, wParam, lParam, &result) == S_OK) return result;
  }
  return DefWindowProcW(window_, msg, wParam, lParam);
}

}  // namespace quorvane::test
