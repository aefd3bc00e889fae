#include "sidebar/AboutWindow.h"

#include <algorithm>

#include "win/Dpi.h"
#include "win/base/GdiObjects.h"

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSidebarAbout";
// Sizes at 96 dpi, scaled to the dpi of the monitor the box is on.
constexpr int kWidth = 380, kHeight = 150, kPicture = 32, kMargin = 12;
constexpr int kButtonWidth = 76, kButtonHeight = 24, kButtonInsetX = 88, kButtonInsetY = 36, kTextInsetY = 44;

}  // namespace

void AboutWindow::Show(HWND owner, IPicture* picture, const std::wstring& text) {
  Close();
  picture_ = picture;
  text_ = text;
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  WindowOptions options;
  options.title = L"About";
  options.exStyle = WS_EX_DLGMODALFRAME;
  options.look.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  dpi_ = WindowDpi(owner);
  RECT frame{0, 0, Scaled(kWidth), Scaled(kHeight)};
  AdjustWindowRectForDpi(frame, style, options.exStyle, dpi_);
  // Below the sidebar, kept inside the work area.
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::max<int>(work.left, std::min<int>(ownerRect.left, work.right - width));
  const int y = std::max<int>(work.top, std::min<int>(ownerRect.bottom, work.bottom - height));
  if (!window_.Create(kClassName, style, owner, RECT{x, y, x + width, y + height},
                      [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                        return Handle(window, message, wParam, lParam);
                      },
                      options))
    return;
  HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0,
                            0, window_.Handle(), reinterpret_cast<HMENU>(IDOK), GetModuleHandleW(nullptr), nullptr);
  FitToDpi();
  ShowWindow(window_.Handle(), SW_SHOWNORMAL);
  SetFocus(ok);
}

// The font and the OK button for the box's dpi; the text and picture
// follow at the next paint.
void AboutWindow::FitToDpi() {
  HWND ok = GetDlgItem(window_.Handle(), IDOK);
  const LOGFONTW message = MessageFontForDpi(dpi_);
  UniqueFont font(CreateFontIndirectW(&message));
  SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);  // the button no longer uses the old one
  MoveWindow(ok, Scaled(kWidth - kButtonInsetX), Scaled(kHeight - kButtonInsetY), Scaled(kButtonWidth),
             Scaled(kButtonHeight), TRUE);
  InvalidateRect(window_.Handle(), nullptr, TRUE);
}

int AboutWindow::Scaled(int pixels) const { return ScaleToDpi(pixels, dpi_); }

void AboutWindow::Close() {
  window_.Destroy();
  font_.reset();
  picture_.Reset();
}

void AboutWindow::Paint(HDC dc) {
  if (picture_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->Render(dc, Scaled(kMargin), Scaled(kMargin), Scaled(kPicture), Scaled(kPicture), 0, height, width,
                     -height, nullptr);
  }
  const SelectedObject font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT area{Scaled(kMargin * 2 + kPicture), Scaled(kMargin), Scaled(kWidth - kMargin), Scaled(kHeight - kTextInsetY)};
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area, DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT AboutWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Close();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      dpi_ = HIWORD(wParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      FitToDpi();
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorvane::sidebar
