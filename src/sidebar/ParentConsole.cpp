#include "sidebar/ParentConsole.h"

namespace quorvane::sidebar {
namespace {

bool Usable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

}  // namespace

void AttachParentConsole() {
  if (Usable(GetStdHandle(STD_OUTPUT_HANDLE)) && Usable(GetStdHandle(STD_ERROR_HANDLE))) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer: no console
  // The attached console's screen buffer for the handles that lead nowhere;
  // a redirected one stays as it is.
  for (DWORD id : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (Usable(GetStdHandle(id))) continue;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (Usable(console)) SetStdHandle(id, console);  // lives as long as the process
  }
}

void WriteConsoleLine(DWORD stdHandle, const std::wstring& text) {
  HANDLE out = GetStdHandle(stdHandle);
  if (!Usable(out)) return;
  const std::wstring line = text + L"\r\n";
  DWORD written = 0, mode = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  // A file or pipe gets UTF-8 with bare line feeds, as the scripts expect.
  const std::wstring plain = text + L"\n";
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, plain.data(), static_cast<int>(plain.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, plain.data(), static_cast<int>(plain.size()), utf8.data(), bytes, nullptr, nullptr);
  WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace quorvane::sidebar
