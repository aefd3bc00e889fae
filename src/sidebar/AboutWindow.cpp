#include "sidebar/AboutWindow.h"

#include <algorithm>

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSidebarAbout";
constexpr int kWidth = 380, kHeight = 150, kPicture = 32, kMargin = 12;

}  // namespace

void AboutWindow::RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &AboutWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

void AboutWindow::Show(HWND owner, IPicture* picture, const std::wstring& text) {
  Close();
  RegisterClassOnce();
  picture_ = picture;
  text_ = text;
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  RECT frame{0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  // Below the sidebar, kept inside the work area.
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::max<int>(work.left, std::min<int>(ownerRect.left, work.right - width));
  const int y = std::max<int>(work.top, std::min<int>(ownerRect.bottom, work.bottom - height));
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"About", WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y,
                            width, height,
                            owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                            kWidth - 88, kHeight - 36, 76, 24, window_, reinterpret_cast<HMENU>(IDOK),
                            GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ShowWindow(window_, SW_SHOWNORMAL);
  SetFocus(ok);
}

void AboutWindow::Close() {
  if (window_) {
    HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  picture_.Reset();
}

void AboutWindow::Paint(HDC dc) {
  if (picture_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->Render(dc, kMargin, kMargin, kPicture, kPicture, 0, height, width, -height, nullptr);
  }
  HGDIOBJ old = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT area{kMargin * 2 + kPicture, kMargin, kWidth - kMargin, kHeight - 44};
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area, DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
}

LRESULT CALLBACK AboutWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->Paint(dc);
        EndPaint(window, &paint);
        return 0;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) self->Close();
        return 0;
      case WM_CLOSE:
        self->Close();
        return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorvane::sidebar
