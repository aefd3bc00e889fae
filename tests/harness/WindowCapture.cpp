#include "harness/WindowCapture.h"

#include <vector>

#include "win/base/GdiObjects.h"

namespace quorvane::sidebar {
namespace {

// Copies the window's pixels into a new DIB section (`bitmap`, whose
// pixels `bits` points at).
bool CopyPixels(HWND window, bool wholeWindow, BITMAPINFO& info, UniqueBitmap& bitmap, void*& bits) {
  HDC source = wholeWindow ? GetWindowDC(window) : GetDC(window);
  bool ok = false;
  {
    const MemoryDc memory(source);
    bitmap.reset(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
      const SelectedObject selected(memory.get(), bitmap.get());
      ok = BitBlt(memory.get(), 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, source, 0, 0, SRCCOPY) != FALSE;
      GdiFlush();
    }
  }
  ReleaseDC(window, source);
  return ok;
}

}  // namespace

bool CaptureWindow(HWND window, const std::wstring& path, bool wholeWindow) {
  if (!IsWindow(window)) return false;
  // Paint what is pending first, so the picture is current.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect{};
  if (wholeWindow) {
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
  } else {
    GetClientRect(window, &rect);
  }
  const int width = rect.right, height = rect.bottom;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap;
  if (!CopyPixels(window, wholeWindow, info, bitmap, bits)) return false;

  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD imageBytes = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageBytes;
  info.bmiHeader.biSizeImage = imageBytes;

  const std::wstring temporary = path + L".part";
  bool ok = false;
  {
    UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD written = 0;
    ok = file && WriteFile(file.get(), &header, sizeof(header), &written, nullptr) &&
         WriteFile(file.get(), &info.bmiHeader, sizeof(BITMAPINFOHEADER), &written, nullptr) &&
         WriteFile(file.get(), bits, imageBytes, &written, nullptr);
  }
  bitmap.reset();
  // Readers polling for the file never see half of it.
  ok = ok && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

}  // namespace quorvane::sidebar
