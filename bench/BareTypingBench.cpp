// The cheapest typing Win32 can do, as a yardstick for the sidebar's: a
// window whose 30 ms timer invalidates one character cell, which WM_PAINT
// fills with one TextOut. Runs for the seconds given (default 20) and ends.
//
//   bench_bare_typing.exe [SECONDS]      (bench/typing_cost_bench.py runs it)
#include <windows.h>

#include <cwchar>
#include <iterator>

namespace {

constexpr int kWidth = 240, kHeight = 153, kCell = 7, kLine = 13;
constexpr wchar_t kText[] = L"The morning crossing to Skerry Island will leave at 7:15 instead of 6:50 ";
int typed = 0;
HFONT font = nullptr;

RECT Cell(int index) {
  const int perLine = (kWidth - 6) / kCell, lines = (kHeight - 36) / kLine;
  const int x = 3 + (index % perLine) * kCell, y = 18 + ((index / perLine) % lines) * kLine;
  return {x, y, x + kCell, y + kLine};
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      ++typed;
      const RECT cell = Cell(typed);
      InvalidateRect(window, &cell, FALSE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      const HGDIOBJ old = SelectObject(dc, font);
      const RECT cell = Cell(typed);
      TextOutW(dc, cell.left, cell.top, &kText[typed % (std::size(kText) - 1)], 1);
      SelectObject(dc, old);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const int seconds = commandLine && *commandLine ? _wtoi(commandLine) : 20;
  font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, L"Tahoma");
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"BareTyping";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"BareTyping", L"Bare typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, kWidth, kHeight,
                              nullptr, nullptr, instance, nullptr);
  SetTimer(window, 1, 30, nullptr);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  MSG message;
  while (GetTickCount64() < end && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(window);
  DeleteObject(font);
  return 0;
}
