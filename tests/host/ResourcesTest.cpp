// The module's resources as the gadget code loads them: bitmaps, strings,
// version record and type library.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "QuorvaneRSS_h.h"
#include "win/com/ComPtr.h"
#include "win/com/Module.h"
#include "win/ole/ModuleTypeLib.h"
#include "gadget/ResourceIds.h"
#include "settings/SettingsPageResources.h"

namespace quorvane {
namespace {

struct Pixels {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<COLORREF> rgb;  // top row first
};

Pixels ReadBitmap(int id) {
  Pixels result;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(module::Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return result;
  DIBSECTION section{};
  GetObjectW(bitmap, sizeof(section), &section);
  result.width = section.dsBm.bmWidth;
  result.height = section.dsBm.bmHeight;
  result.bits = section.dsBm.bmBitsPixel;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = result.width;
  info.bmiHeader.biHeight = -result.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<DWORD> raw(result.width * result.height);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, result.height, raw.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  for (DWORD bgr : raw) result.rgb.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
  DeleteObject(bitmap);
  return result;
}

TEST(Resources, BitmapsHaveTheirSizesAndTheBarStripItsGreyRows) {
  const Pixels icon = ReadBitmap(IDB_GADGET_ICON);
  EXPECT_EQ(icon.width, 32);
  EXPECT_EQ(icon.height, 32);
  EXPECT_EQ(icon.bits, 24);
  for (int id : {IDB_TOOLBOX, IDB_TOOLBOX_ALT}) {
    const Pixels toolbox = ReadBitmap(id);
    EXPECT_EQ(toolbox.width, 16) << id;
    EXPECT_EQ(toolbox.height, 16) << id;
  }

  const Pixels bar = ReadBitmap(IDB_BAR_GRADIENT);
  ASSERT_EQ(bar.width, 4);
  ASSERT_EQ(bar.height, 16);
  EXPECT_EQ(bar.bits, 24);
  const int greys[16] = {0xA6, 0xAC, 0xB4, 0xBC, 0xC3, 0xCB, 0xD2, 0xDA,
                         0xE1, 0xE7, 0xEC, 0xF0, 0xF4, 0xF7, 0xF9, 0xFB};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(bar.rgb[y * 4 + x], RGB(greys[y], greys[y], greys[y])) << "row " << y << " column " << x;
}

TEST(Resources, StringTable) {
  auto load = [](int id) {
    wchar_t text[64] = {};
    LoadStringW(module::Instance(), id, text, 64);
    return std::wstring(text);
  };
  EXPECT_EQ(load(IDS_PAUSED), L"< Paused >");
  EXPECT_EQ(load(IDS_PAUSE), L"Pause");
  EXPECT_EQ(load(IDS_SETTINGS_TITLE), L"QuorvaneRSS Settings");
}

TEST(Resources, VersionRecordSaysOnePointZeroPointZeroPointOne) {
  HRSRC found = FindResourceW(module::Instance(), MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  ASSERT_NE(found, nullptr);
  const void* data = LockResource(LoadResource(module::Instance(), found));
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + SizeofResource(module::Instance(), found));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
}

TEST(Resources, TypeLibraryDescribesTheGadgetClassAndInterface) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(GetModuleTypeInfo(CLSID_QuorvaneRSSGadget, &info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  info->ReleaseTypeAttr(attributes);
  ComPtr<ITypeInfo> gadgetInterface;
  EXPECT_EQ(GetModuleTypeInfo(IID_IQuorvaneRSSGadget, &gadgetInterface), S_OK);
}

}  // namespace
}  // namespace quorvane
