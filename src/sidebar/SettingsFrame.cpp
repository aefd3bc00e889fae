#include "sidebar/SettingsFrame.h"

#include <algorithm>
#include <vector>

#include "host/com/ComObject.h"
#include "host/com/ComPtr.h"

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSidebarSettings";
constexpr int kApplyId = 12321;  // the standard frame's id for Apply
constexpr int kMargin = 7, kButtonWidth = 75, kButtonHeight = 23;

struct FrameState;

// The pages' site: a change enables Apply.
class PageSite final : public ComObject, public IPropertyPageSite {
 public:
  PageSite(IUnknown* outer, FrameState* frame) : ComObject(outer), frame_(frame) {}
  QUORVANE_COM_IUNKNOWN

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
    if (!locale) return E_POINTER;
    *locale = GetUserDefaultLCID();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override {
    if (container) *container = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }
  void Detach() { frame_ = nullptr; }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IPropertyPageSite, static_cast<IPropertyPageSite*>(this)}});
  }

 private:
  FrameState* frame_;
};

struct FrameState {
  HWND window = nullptr;
  HFONT font = nullptr;
  std::vector<ComPtr<IPropertyPage>> pages;
  ComPtr<PageSite> site;
  bool done = false;

  // Applies every changed page; false when a page refused (it has told the
  // user why), so the frame stays open.
  bool Apply() {
    for (auto& page : pages)
      if (page->IsPageDirty() == S_OK && FAILED(page->Apply())) return false;
    EnableWindow(GetDlgItem(window, kApplyId), FALSE);
    return true;
  }
};

HRESULT PageSite::OnStatusChange(DWORD flags) {
  if (frame_ && (flags & PROPPAGESTATUS_DIRTY)) EnableWindow(GetDlgItem(frame_->window, kApplyId), TRUE);
  return S_OK;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<FrameState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      switch (LOWORD(wParam)) {
        case IDOK:
          if (state->Apply()) state->done = true;
          return 0;
        case IDCANCEL:
          state->done = true;
          return 0;
        case kApplyId:
          state->Apply();
          return 0;
      }
    }
    if (message == WM_CLOSE) {
      state->done = true;
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND AddButton(HWND parent, HFONT font, const wchar_t* text, int id, int x, int y, bool isDefault) {
  HWND button = CreateWindowExW(0, L"BUTTON", text,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y,
                                kButtonWidth, kButtonHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return button;
}

}  // namespace

bool StandardFrameCannotApply() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

HRESULT ShowSettingsFrame(HWND owner, const std::wstring& caption, IUnknown* object, const CAUUID& pages) {
  if (!object) return E_POINTER;
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return E_FAIL;

  FrameState state;
  state.site = ComPtr<PageSite>(new PageSite(nullptr, &state));
  // Every page, its size and its place: stacked top to bottom.
  SIZE area{0, 0};
  std::vector<SIZE> sizes;
  for (ULONG i = 0; i < pages.cElems; ++i) {
    ComPtr<IPropertyPage> page;
    if (FAILED(CoCreateInstance(pages.pElems[i], nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)))) continue;
    if (FAILED(page->SetPageSite(state.site.Get()))) continue;
    IUnknown* objects[] = {object};
    PROPPAGEINFO info{};
    info.cb = sizeof(info);
    if (FAILED(page->SetObjects(1, objects)) || FAILED(page->GetPageInfo(&info))) {
      page->SetPageSite(nullptr);
      continue;
    }
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
    sizes.push_back(info.size);
    area.cx = std::max(area.cx, info.size.cx);
    area.cy += info.size.cy;
    state.pages.push_back(page);
  }
  if (state.pages.empty()) return E_FAIL;

  const int clientWidth = std::max<int>(area.cx + 2 * kMargin, 3 * kButtonWidth + 4 * kMargin);
  const int clientHeight = area.cy + 3 * kMargin + kButtonHeight;
  RECT frame{0, 0, clientWidth, clientHeight};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::max<LONG>(work.left, std::min<LONG>(ownerRect.left - width - 8, work.right - width));
  const int y = std::max<LONG>(work.top, std::min<LONG>(ownerRect.top, work.bottom - height));
  const std::wstring title = L"Properties for " + caption;
  state.window = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, title.c_str(), style, x, y,
                                 width, height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!state.window) return HRESULT_FROM_WIN32(GetLastError());
  SetWindowLongPtrW(state.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  state.font = CreateFontIndirectW(&metrics.lfMessageFont);

  int top = kMargin;
  for (size_t i = 0; i < state.pages.size(); ++i) {
    RECT place{kMargin, top, kMargin + sizes[i].cx, top + sizes[i].cy};
    state.pages[i]->Activate(state.window, &place, TRUE);
    state.pages[i]->Show(SW_SHOWNORMAL);
    top += sizes[i].cy;
  }
  const int buttonTop = clientHeight - kMargin - kButtonHeight;
  int buttonLeft = clientWidth - 3 * (kButtonWidth + kMargin);
  AddButton(state.window, state.font, L"OK", IDOK, buttonLeft, buttonTop, true);
  AddButton(state.window, state.font, L"Cancel", IDCANCEL, buttonLeft += kButtonWidth + kMargin, buttonTop, false);
  EnableWindow(AddButton(state.window, state.font, L"&Apply", kApplyId, buttonLeft + kButtonWidth + kMargin, buttonTop,
                         false), FALSE);

  EnableWindow(owner, FALSE);
  ShowWindow(state.window, SW_SHOWNORMAL);
  MSG message;
  while (!state.done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      break;
    }
    bool handled = false;
    for (auto& page : state.pages)
      if (!handled && page->TranslateAccelerator(&message) == S_OK) handled = true;
    if (!handled && IsDialogMessageW(state.window, &message)) handled = true;
    if (!handled) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  EnableWindow(owner, TRUE);
  SetActiveWindow(owner);

  for (auto& page : state.pages) {
    page->Show(SW_HIDE);
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
  }
  state.pages.clear();
  state.site->Detach();
  SetWindowLongPtrW(state.window, GWLP_USERDATA, 0);
  DestroyWindow(state.window);
  DeleteObject(state.font);
  return S_OK;
}

}  // namespace quorvane::sidebar
