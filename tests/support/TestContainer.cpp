#include "TestContainer.h"

#include <algorithm>

namespace quorvane::test {

int SiteCalls::Count(const std::wstring& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

TestContainer::TestContainer(SiteOptions options) : options_(options) {
  WindowOptions window;
  window.title = L"Test container";
  window_.Create(L"QuorvaneTestContainer", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, nullptr,
                 RECT{0, 0, 320, 240},
                 [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return Handle(hwnd, msg, wParam, lParam); },
                 window);
  site_ = sidebar::GadgetSite::Make(this, sidebar::SiteOptions{options.windowless, options.pluginSite, this});
  site_->SetRect(options.position);
}

TestContainer::~TestContainer() {
  Close();
  site_.Reset();
  window_.Destroy();
}

void TestContainer::ShowAbout(sidebar::GadgetSite&, IPicture* picture, const std::wstring& text) {
  calls_.aboutPicture = picture;
  calls_.aboutText = text;
}

void TestContainer::OnSiteCall(sidebar::GadgetSite&, std::wstring_view call, IPicture* picture) {
  calls_.calls.emplace_back(call);
  if (call == L"SetIcon") calls_.icon = picture;
}

void TestContainer::PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A windowless control gets the mouse, the keys and WM_GETOBJECT, and is
// drawn by us.
LRESULT TestContainer::Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (site_ && options_.windowless && msg == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    site_->Draw(dc);
    EndPaint(window, &paint);
    return 0;
  }
  if (msg == WM_CONTEXTMENU && lParam == MAKELPARAM(-1, -1)) ++keyboardMenus_;
  if (site_ && ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
                msg == WM_SETCURSOR || msg == WM_GETOBJECT)) {
    LRESULT result = 0;
    if (site_->ForwardMessage(msg, wParam, lParam, &result)) return result;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace quorvane::test
