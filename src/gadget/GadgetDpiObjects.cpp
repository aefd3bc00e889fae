#include "gadget/GadgetDpiObjects.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gadget/GadgetGeometry.h"

namespace quorvane {
namespace {

// 8.25 points in quarter points: 11 pixels at 96 dpi.
constexpr int kFontQuarterPoints = 33;

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// Each channel of `a` and `b` blended, `weight` / 256 of `b`.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, int weight) {
  std::uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int from = static_cast<int>((a >> shift) & 0xFF), to = static_cast<int>((b >> shift) & 0xFF);
    result |= static_cast<std::uint32_t>((from * (256 - weight) + to * weight + 128) >> 8) << shift;
  }
  return result;
}

}  // namespace

HBITMAP CreateTopDownBitmap(int width, int height, std::uint32_t** bits) {
  const BITMAPINFO info = TopDownInfo(width, height);
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<std::uint32_t*>(pixels);
  return bitmap;
}

HFONT CreateGadgetFont(int dpi, bool underline) {
  const int height = -MulDiv(kFontQuarterPoints, dpi, 4 * 72);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

HBITMAP ResampleStrip(HBITMAP strip, int rows) {
  BITMAP source{};
  if (!strip || rows <= 0 || !GetObjectW(strip, sizeof(source), &source) || source.bmHeight <= 0) return nullptr;
  const int width = source.bmWidth, sourceRows = source.bmHeight;
  std::vector<std::uint32_t> from(static_cast<std::size_t>(width) * sourceRows);
  BITMAPINFO info = TopDownInfo(width, sourceRows);
  const MemoryDc dc(nullptr);
  if (GetDIBits(dc.get(), strip, 0, sourceRows, from.data(), &info, DIB_RGB_COLORS) != sourceRows) return nullptr;

  std::uint32_t* to = nullptr;
  HBITMAP resampled = CreateTopDownBitmap(width, rows, &to);
  if (!resampled) return nullptr;
  for (int y = 0; y < rows; ++y) {
    // The centre of target row y in source rows, in 1/256ths, kept inside.
    long long at = ((2LL * y + 1) * sourceRows * 256) / (2LL * rows) - 128;
    at = std::max(0LL, std::min<long long>(at, (sourceRows - 1) * 256LL));
    const int row = static_cast<int>(at >> 8), weight = static_cast<int>(at & 0xFF);
    const int next = std::min(row + 1, sourceRows - 1);
    for (int x = 0; x < width; ++x)
      to[y * width + x] = Blend(from[row * width + x], from[next * width + x], weight);
  }
  GdiFlush();
  return resampled;
}

GadgetDrawingResources GadgetDpiObjects::For(int dpi, const GadgetDrawingResources& base, bool* remade) {
  if (remade) *remade = false;
  if (dpi == GadgetGeometry::kBaseDpi) return base;
  if (dpi != dpi_) {
    const int barHeight = GadgetGeometry::Scale(GadgetGeometry::kBarHeight, dpi);
    bodyFont_.reset(CreateGadgetFont(dpi, false));
    linkFont_.reset(CreateGadgetFont(dpi, true));
    barTop_.reset(ResampleStrip(base.barBitmapTop, barHeight));
    barBottom_.reset(ResampleStrip(base.barBitmapBottom, barHeight));
    dpi_ = dpi;
    if (remade) *remade = true;
  }
  return {bodyFont_.get(), linkFont_.get(), barTop_.get(), barBottom_.get(), base.linkColour, base.feedTitleInk,
          base.highContrast};
}

}  // namespace quorvane
