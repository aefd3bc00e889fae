#pragma once
// Support for pixel tests of the gadget's drawing: a canvas whose pixels can
// be read back, drawing objects made as the control makes them, and
// snapshots of a canvas as BMP files for looking at (set
// QUORVANE_DRAWING_SNAPSHOTS to a folder, e.g. Z:\tmp\snapshots).
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gadget/GadgetDpiObjects.h"
#include "gadget/GdiGadgetDrawing.h"
#include "win/base/GdiObjects.h"

namespace quorvane::testing {

constexpr COLORREF kTextGrey = RGB(100, 100, 100);
constexpr COLORREF kLinkBlue = RGB(1, 24, 116);
constexpr COLORREF kOutlineGrey = RGB(132, 130, 132);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kUntouched = RGB(255, 0, 255);  // what a canvas holds before drawing

// The rows of the bars' gradient strip, top first.
constexpr int kGradient[16] = {0xA6, 0xAC, 0xB4, 0xBC, 0xC3, 0xCB, 0xD2, 0xDA,
                               0xE1, 0xE7, 0xEC, 0xF0, 0xF4, 0xF7, 0xF9, 0xFB};

inline COLORREF Grey(int level) { return RGB(level, level, level); }

// A memory device context over a 32-bit top-down DIB, filled with kUntouched.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(nullptr) {
    bitmap_.reset(CreateTopDownBitmap(width, height, &bits_));
    selection_ = SelectObject(dc_.get(), bitmap_.get());
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00FF00FF;
  }
  ~Canvas() { SelectObject(dc_.get(), selection_); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  // Writes the canvas as a 24-bit BMP named `name`.bmp into the snapshot
  // folder, if one is set.
  void Snapshot(const std::string& name) const {
    const char* folder = std::getenv("QUORVANE_DRAWING_SNAPSHOTS");
    if (!folder || !*folder) return;
    const int stride = (width_ * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height_;
    std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * height_);
    for (int y = 0; y < height_; ++y) {
      unsigned char* row = &rows[static_cast<std::size_t>(height_ - 1 - y) * stride];
      for (int x = 0; x < width_; ++x) {
        const COLORREF c = Pixel(x, y);
        row[3 * x] = GetBValue(c);
        row[3 * x + 1] = GetGValue(c);
        row[3 * x + 2] = GetRValue(c);
      }
    }
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
  }

 private:
  int width_, height_;
  MemoryDc dc_;
  UniqueBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ selection_ = nullptr;
};

inline HFONT MakeGadgetFont(bool underline) {
  return CreateFontW(-11, 0, 0, 0, 400, FALSE, underline, FALSE, 0, 0, 0, 0, 0, L"Tahoma");
}

// Bitmap 210, the bars' strip, from the program's own resources (the test
// links the module's resources), as the control loads it from the module.
inline HBITMAP LoadBarStrip() {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(210), IMAGE_BITMAP, 0, 0, 0));
}

// The control's drawing objects, made the same way.
struct DrawingObjects {
  UniqueFont bodyFont{MakeGadgetFont(false)};
  UniqueFont linkFont{MakeGadgetFont(true)};
  UniqueBitmap barTop{LoadBarStrip()};
  UniqueBitmap barBottom{LoadBarStrip()};

  GadgetDrawingResources Resources() const {
    return {bodyFont.get(), linkFont.get(), barTop.get(), barBottom.get(), RGB(1, 24, 116), nullptr, std::nullopt};
  }
};

// Metrics of the body font as the platform reports them.
struct BodyFontMetrics {
  int ascent = 0;
  int height = 0;
  int Width(const wchar_t* text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &size);
    return size.cx;
  }
  explicit BodyFontMetrics(HFONT font) : dc(nullptr), selection(dc.get(), font) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    ascent = metrics.tmAscent;
    height = metrics.tmHeight;
  }
  MemoryDc dc;
  SelectedObject selection;
};

// Counts the pixels of the text area (between the bars) that differ from
// `run` drawn by the platform at the text origin (3, 18) on white, in the
// text colour, with `font`.
inline int TextAreaDifferences(const Canvas& canvas, HFONT font, const wchar_t* run) {
  Canvas expected(canvas.width(), canvas.height());
  PatBlt(expected.dc(), 0, 0, canvas.width(), canvas.height(), WHITENESS);
  const SelectedObject selection(expected.dc(), font);
  SetBkMode(expected.dc(), TRANSPARENT);
  SetTextColor(expected.dc(), kTextGrey);
  TextOutW(expected.dc(), 3, 18, run, static_cast<int>(wcslen(run)));
  int differing = 0;
  for (int y = 16; y < canvas.height() - 16; ++y) {
    for (int x = 0; x < canvas.width(); ++x) differing += canvas.Pixel(x, y) != expected.Pixel(x, y);
  }
  return differing;
}

// The bounding box of the pixels of one colour within a rectangle.
struct Ink {
  int count = 0;
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
};

inline Ink FindInk(const Canvas& canvas, const RECT& area, COLORREF colour) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (canvas.Pixel(x, y) != colour) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

}  // namespace quorvane::testing
