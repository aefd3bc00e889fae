#include "harness/WindowCapture.h"

#include <cstdlib>

#include "win/base/GdiObjects.h"
#include "win/base/UniqueAny.h"

namespace quorvane::sidebar {

bool CopyWindowPixels(HWND window, bool wholeWindow, POINT from, BITMAPINFO& info, UniqueBitmap& bitmap,
                      void*& bits) {
  const UniqueWindowDc source(WindowDc{window, wholeWindow ? GetWindowDC(window) : GetDC(window)});
  if (!source) return false;
  const MemoryDc memory(source.get().dc);
  bitmap.reset(CreateDIBSection(source.get().dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  const SelectedObject selected(memory.get(), bitmap.get());
  const bool ok = BitBlt(memory.get(), 0, 0, info.bmiHeader.biWidth, std::abs(info.bmiHeader.biHeight),
                         source.get().dc, from.x, from.y, SRCCOPY) != FALSE;
  GdiFlush();
  return ok;
}

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
  if (!CopyWindowPixels(window, wholeWindow, POINT{}, info, bitmap, bits)) return false;

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
