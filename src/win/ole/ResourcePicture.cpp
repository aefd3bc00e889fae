#include "win/ole/ResourcePicture.h"

#include "win/com/Module.h"
#include "win/base/UniqueAny.h"

namespace quorvane {

HRESULT CreateResourcePicture(int id, IPicture** picture) {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(module::Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
  if (!bitmap) return E_FAIL;
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<void**>(picture)))) {
    *picture = nullptr;
    return E_FAIL;
  }
  bitmap.release();  // the picture owns it now
  return S_OK;
}

}  // namespace quorvane
