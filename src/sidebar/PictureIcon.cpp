#include "sidebar/PictureIcon.h"

#include "win/base/GdiObjects.h"

namespace quorvane::sidebar {

HICON IconFromPicture(IPicture* picture) {
  if (!picture) return nullptr;
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || FAILED(picture->get_Handle(&handle)) || !handle) return nullptr;
  if (type == PICTYPE_ICON) return CopyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)));
  if (type != PICTYPE_BITMAP) return nullptr;

  HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
  // An all-zero mask: the whole bitmap is opaque. CreateIconIndirect
  // copies both bitmaps, so the picture keeps its own.
  const UniqueBitmap mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
  if (!mask) return nullptr;
  {
    const MemoryDc dc(nullptr);
    const SelectedObject selected(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, info.bmWidth, info.bmHeight, BLACKNESS);
  }
  ICONINFO iconInfo{TRUE, 0, 0, mask.get(), bitmap};
  return CreateIconIndirect(&iconInfo);
}

}  // namespace quorvane::sidebar
