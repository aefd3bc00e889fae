#include "harness/ScriptWaits.h"

#include <oleacc.h>

#include <algorithm>
#include <map>

#include "QuorvaneRSS_h.h"
#include "gadget/GadgetAccessible.h"
#include "gadget/GadgetGeometry.h"
#include "harness/TypingTicks.h"
#include "harness/WindowCapture.h"
#include "win/Dpi.h"
#include "win/base/GdiObjects.h"
#include "win/base/UniqueAny.h"
#include "win/com/ComPtr.h"

namespace quorvane::sidebar {
namespace {

struct FindControl {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK FindInChildren(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindControl*>(data);
  if (GetDlgCtrlID(window) == search->id && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindInTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindControl*>(data);
  EnumChildWindows(window, &FindInChildren, data);
  return search->found == nullptr;
}

struct FindClass {
  const std::wstring& name;
  bool found = false;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindClass*>(data);
  wchar_t className[128] = {};
  GetClassNameW(window, className, 128);
  search->found = IsWindowVisible(window) && search->name == className;
  return !search->found;
}

bool EveryFeedTried(SidebarWindow& sidebar) {
  ComPtr<IQuorvaneRSSFeeds> feeds;
  if (sidebar.GadgetCount() == 0 || !sidebar.Gadget(0).Control() ||
      FAILED(sidebar.Gadget(0).Control()->QueryInterface(IID_PPV_ARGS(&feeds))))
    return false;
  long count = 0;
  if (FAILED(feeds->get_FeedCount(&count)) || count == 0) return false;
  for (long i = 0; i < count; ++i) {
    UniqueBstr state;
    if (FAILED(feeds->get_FeedState(i, state.out())) || !state.get() || std::wstring(state.get()) == L"not tried")
      return false;
  }
  return true;
}

// The text area's accessible name: the description of the screen shown.
std::wstring ShownText(SidebarWindow& sidebar) {
  ComPtr<IAccessible> accessible;
  if (sidebar.GadgetCount() == 0 || !sidebar.Gadget(0).Control() ||
      FAILED(sidebar.Gadget(0).Control()->QueryInterface(IID_PPV_ARGS(&accessible))))
    return L"";
  VARIANT textArea;
  VariantInit(&textArea);
  textArea.vt = VT_I4;
  textArea.lVal = GadgetAccessible::kTextArea;
  UniqueBstr name;
  if (accessible->get_accName(textArea, name.out()) != S_OK || !name.get()) return L"";
  return name.get();
}

// Pixels unlike the most common colour of their row: text on a plain or
// row-wise gradient ground, as the end-to-end tests count it.
int Ink(const std::vector<COLORREF>& pixels, int width) {
  int ink = 0;
  for (size_t row = 0; width > 0 && row + width <= pixels.size(); row += width) {
    std::map<COLORREF, int> counts;
    for (int x = 0; x < width; ++x) ++counts[pixels[row + x]];
    const auto ground = std::max_element(counts.begin(), counts.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    ink += width - ground->second;
  }
  return ink;
}

RECT TextArea(SidebarWindow& sidebar) {
  RECT area = sidebar.Gadget(0).Rect();
  // The gadget lives in its DLL: its bar height is scaled here as it scales it.
  const int bar = MulDiv(GadgetGeometry::kBarHeight, WindowDpi(sidebar.Window()), GadgetGeometry::kBaseDpi);
  // Inside the outline, whose sides would count as ink on every row.
  InflateRect(&area, -2, 0);
  area.top += bar;
  area.bottom -= bar;
  return area;
}

}  // namespace

std::vector<COLORREF> TextAreaPixels(SidebarWindow& sidebar) {
  if (sidebar.GadgetCount() == 0) return {};
  RedrawWindow(sidebar.Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const RECT area = TextArea(sidebar);
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: rows in reading order
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  UniqueBitmap bitmap;
  void* bits = nullptr;
  if (!CopyWindowPixels(sidebar.Window(), false, POINT{area.left, area.top}, info, bitmap, bits)) return {};
  const auto* first = static_cast<const COLORREF*>(bits);
  std::vector<COLORREF> pixels(first, first + static_cast<size_t>(width) * height);
  return pixels;
}

HWND FindDialogControl(int id) {
  FindControl search{id};
  EnumThreadWindows(GetCurrentThreadId(), &FindInTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<bool> ScriptConditionHolds(SidebarWindow& sidebar, const std::wstring& condition,
                                         const CaptureMark& lastCapture) {
  if (condition.rfind(L"not ", 0) == 0) {
    const std::optional<bool> holds = ScriptConditionHolds(sidebar, condition.substr(4), lastCapture);
    return holds ? std::optional<bool>(!*holds) : std::nullopt;
  }
  const size_t space = condition.find(L' ');
  const std::wstring verb = condition.substr(0, space);
  const std::wstring argument = space == std::wstring::npos ? L"" : condition.substr(space + 1);
  if (verb == L"fetched") return EveryFeedTried(sidebar);
  if (verb == L"showing") return !argument.empty() && ShownText(sidebar).rfind(argument, 0) == 0;
  if (verb == L"text-ink") {
    if (sidebar.GadgetCount() == 0) return false;
    const RECT area = TextArea(sidebar);
    return Ink(TextAreaPixels(sidebar), area.right - area.left) >= _wtoi(argument.c_str());
  }
  if (verb == L"text-changed") return TextAreaPixels(sidebar) != lastCapture.text;
  if (verb == L"typing-ticks")
    return TypingTickCounter::Count() >= lastCapture.typingTicks + static_cast<uint64_t>(_wtoi(argument.c_str()));
  if (verb == L"control") return FindDialogControl(_wtoi(argument.c_str())) != nullptr;
  if (verb == L"window") {
    FindClass search{argument};
    EnumThreadWindows(GetCurrentThreadId(), &FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  return std::nullopt;
}

}  // namespace quorvane::sidebar
