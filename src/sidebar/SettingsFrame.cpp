#include "sidebar/SettingsFrame.h"

#include <algorithm>
#include <vector>

#include "win/Dpi.h"
#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"
#include "win/base/UniqueAny.h"
#include "win/window/OwnedWindow.h"

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSidebarSettings";
constexpr int kApplyId = 12321;  // the standard frame's id for Apply
// At 96 dpi, scaled to the dpi of the owner's monitor; the pages size
// themselves in dialog units.
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
  OwnedWindow window;
  UniqueFont font;
  std::vector<ComPtr<IPropertyPage>> pages;
  std::vector<SIZE> sizes;  // each page's, in the order of `pages`
  ComPtr<PageSite> site;
  bool done = false;

  HWND Window() const { return window.Handle(); }
  // Applies every changed page; false when a page refused (it has told the
  // user why), so the frame stays open.
  bool Apply() {
    for (auto& page : pages)
      if (page->IsPageDirty() == S_OK && FAILED(page->Apply())) return false;
    EnableWindow(GetDlgItem(Window(), kApplyId), FALSE);
    return true;
  }
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

HRESULT PageSite::OnStatusChange(DWORD flags) {
  if (frame_ && (flags & PROPPAGESTATUS_DIRTY)) EnableWindow(GetDlgItem(frame_->Window(), kApplyId), TRUE);
  return S_OK;
}

LRESULT FrameState::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDOK:
        if (Apply()) done = true;
        return 0;
      case IDCANCEL:
        done = true;
        return 0;
      case kApplyId:
        Apply();
        return 0;
    }
  }
  if (message == WM_CLOSE) {
    done = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND AddButton(HWND parent, HFONT font, const wchar_t* text, int id, RECT place, bool isDefault) {
  HWND button = CreateWindowExW(0, L"BUTTON", text,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return button;
}

// Creates every page of `pages` for `object`, sited on `state.site`; a
// page that fails any step is left out.
void LoadPages(FrameState& state, IUnknown* object, const CAUUID& pages) {
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
    const UniqueCoTaskMem<OLECHAR> title(info.pszTitle), doc(info.pszDocString), help(info.pszHelpFile);
    state.sizes.push_back(info.size);
    state.pages.push_back(page);
  }
}

// The frame window, left of the owner and inside the work area, with the
// pages stacked top to bottom above OK, Cancel and Apply.
HRESULT CreateFrame(FrameState& state, HWND owner, const std::wstring& caption) {
  SIZE area{0, 0};
  for (const SIZE& size : state.sizes) {
    area.cx = std::max(area.cx, size.cx);
    area.cy += size.cy;
  }
  const int dpi = WindowDpi(owner);
  const int margin = ScaleToDpi(kMargin, dpi), buttonWidth = ScaleToDpi(kButtonWidth, dpi),
            buttonHeight = ScaleToDpi(kButtonHeight, dpi);
  const int clientWidth = std::max<int>(area.cx + 2 * margin, 3 * buttonWidth + 4 * margin);
  const int clientHeight = area.cy + 3 * margin + buttonHeight;
  RECT frame{0, 0, clientWidth, clientHeight};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  WindowOptions options;
  options.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  options.look.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  AdjustWindowRectForDpi(frame, style, options.exStyle, dpi);
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::max<LONG>(work.left, std::min<LONG>(ownerRect.left - width - ScaleToDpi(8, dpi), work.right - width));
  const int y = std::max<LONG>(work.top, std::min<LONG>(ownerRect.top, work.bottom - height));
  const std::wstring title = L"Properties for " + caption;
  options.title = title.c_str();
  if (!state.window.Create(kClassName, style, owner, RECT{x, y, x + width, y + height},
                           [&state](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                             return state.Handle(window, message, wParam, lParam);
                           },
                           options))
    return HRESULT_FROM_WIN32(GetLastError());
  const LOGFONTW message = MessageFontForDpi(dpi);
  state.font.reset(CreateFontIndirectW(&message));

  int top = margin;
  for (size_t i = 0; i < state.pages.size(); ++i) {
    RECT place{margin, top, margin + state.sizes[i].cx, top + state.sizes[i].cy};
    state.pages[i]->Activate(state.Window(), &place, TRUE);
    state.pages[i]->Show(SW_SHOWNORMAL);
    top += state.sizes[i].cy;
  }
  const int buttonTop = clientHeight - margin - buttonHeight;
  const auto button = [&](int index) {
    const int left = clientWidth - (3 - index) * (buttonWidth + margin);
    return RECT{left, buttonTop, left + buttonWidth, buttonTop + buttonHeight};
  };
  AddButton(state.Window(), state.font.get(), L"OK", IDOK, button(0), true);
  AddButton(state.Window(), state.font.get(), L"Cancel", IDCANCEL, button(1), false);
  EnableWindow(AddButton(state.Window(), state.font.get(), L"&Apply", kApplyId, button(2), false), FALSE);
  return S_OK;
}

// Runs the frame modally until OK, Cancel or close, the owner disabled.
void RunModal(FrameState& state, HWND owner) {
  EnableWindow(owner, FALSE);
  ShowWindow(state.Window(), SW_SHOWNORMAL);
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
    if (!handled && IsDialogMessageW(state.Window(), &message)) handled = true;
    if (!handled) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  EnableWindow(owner, TRUE);
  SetActiveWindow(owner);
}

// Lets go of the pages, then of the frame window.
void ClosePages(FrameState& state) {
  for (auto& page : state.pages) {
    page->Show(SW_HIDE);
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
  }
  state.pages.clear();
  state.site->Detach();
  state.window.Destroy();
}

}  // namespace

bool StandardFrameCannotApply() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

HRESULT ShowSettingsFrame(HWND owner, const std::wstring& caption, IUnknown* object, const CAUUID& pages) {
  if (!object) return E_POINTER;
  FrameState state;
  state.site = ComPtr<PageSite>(new PageSite(nullptr, &state));
  LoadPages(state, object, pages);
  if (state.pages.empty()) return E_FAIL;
  const HRESULT hr = CreateFrame(state, owner, caption);
  if (SUCCEEDED(hr)) RunModal(state, owner);
  ClosePages(state);
  return hr;
}

}  // namespace quorvane::sidebar
