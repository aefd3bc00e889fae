#include "sidebar/FeedStatusWindow.h"

#include <commctrl.h>

#include "win/Dpi.h"

namespace quorvane::sidebar {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneFeedStatus";
// Sizes at 96 dpi, scaled to the dpi of the monitor the window is on.
constexpr SIZE kWindowSize{800, 220};
constexpr int kWindowOffset = 16;
constexpr struct {
  const wchar_t* title;
  int width;
} kColumns[] = {{L"Feed", 150}, {L"Address", 210}, {L"State", 70}, {L"Headlines", 70}, {L"Last success", 110},
                {L"Reason", 170}};

std::wstring Str(const UniqueBstr& text) { return text.get() ? std::wstring(text.get(), SysStringLen(text.get())) : L""; }

std::wstring StateText(const std::wstring& state) {
  if (state == L"ok") return L"Read";
  if (state == L"failed") return L"Failed";
  return L"Not tried yet";
}

// "2024-05-01 14:05", or "never": with the date always, since a feed that
// stopped working shows the same time on another day.
std::wstring WhenText(DATE when) {
  SYSTEMTIME at{};
  if (when == 0 || !VariantTimeToSystemTime(when, &at)) return L"never";
  wchar_t text[40];
  swprintf(text, 40, L"%04u-%02u-%02u %02u:%02u", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute);
  return text;
}

}  // namespace

FeedStatusWindow::~FeedStatusWindow() { Close(); }

bool FeedStatusWindow::Show(HWND owner, IUnknown* control, const FeedTitles& titles) {
  ComPtr<IQuorvaneRSSFeeds> feeds;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&feeds)))) return false;
  feeds_ = feeds;
  titles_ = titles;
  status_.Reset();
  control->QueryInterface(IID_PPV_ARGS(&status_));
  read_ = false;
  if (!window_.Handle()) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RECT work{0, 0, 800, 600};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int dpi = WindowDpi(owner);
    const POINT at{work.left + ScaleToDpi(kWindowOffset, dpi), work.top + ScaleToDpi(kWindowOffset, dpi)};
    WindowOptions options;
    options.title = L"Feed status";
    options.exStyle = WS_EX_TOOLWINDOW;
    options.look.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!window_.Create(kClassName, WS_OVERLAPPEDWINDOW, owner,
                        RECT{at.x, at.y, at.x + ScaleToDpi(kWindowSize.cx, dpi), at.y + ScaleToDpi(kWindowSize.cy, dpi)},
                        [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                          return Handle(window, message, wParam, lParam);
                        },
                        options))
      return false;
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL,
                            0, 0, 0, 0, window_.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT;
      column.pszText = const_cast<wchar_t*>(kColumns[i].title);
      SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    FitToDpi(WindowDpi(window_.Handle()));
    RECT client;
    GetClientRect(window_.Handle(), &client);
    MoveWindow(list_, 0, 0, client.right, client.bottom, FALSE);
  }
  rows_.clear();
  Refresh();
  ShowWindow(window_.Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(window_.Handle());
  return true;
}

// The list's font and column widths for `dpi`.
void FeedStatusWindow::FitToDpi(int dpi) {
  const LOGFONTW message = MessageFontForDpi(dpi);
  UniqueFont font(CreateFontIndirectW(&message));
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);  // the list no longer uses the old one
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, i, ScaleToDpi(kColumns[i].width, dpi));
}

void FeedStatusWindow::Close() {
  window_.Destroy();
  Forget();
}

void FeedStatusWindow::Forget() {
  list_ = nullptr;
  feeds_.Reset();
  status_.Reset();
  rows_.clear();
}

std::vector<FeedStatusWindow::Row> FeedStatusWindow::ReadRows() const {
  std::vector<Row> rows;
  LONG count = 0;
  if (!feeds_ || FAILED(feeds_->get_FeedCount(&count))) return rows;
  for (LONG i = 0; i < count; ++i) {
    UniqueBstr url, finalUrl, title, state, reason;
    LONG headlines = 0;
    DATE when = 0;
    feeds_->get_FeedUrl(i, url.out());
    feeds_->get_FinalUrl(i, finalUrl.out());
    feeds_->get_FeedTitle(i, title.out());
    feeds_->get_FeedState(i, state.out());
    feeds_->get_FailureReason(i, reason.out());
    feeds_->get_HeadlineCount(i, &headlines);
    feeds_->get_LastSuccess(i, &when);
    std::wstring address = Str(url);
    // Where the feed was really read from, when that differs.
    if (!Str(finalUrl).empty() && Str(finalUrl) != address) address += L" \u2192 " + Str(finalUrl);
    std::wstring feed = Str(title);
    if (feed.empty()) {
      const auto given = titles_.find(std::u16string(url.str()));
      feed = given != titles_.end() ? std::wstring(given->second.begin(), given->second.end()) : Str(url);
    }
    const bool tried = Str(state) != L"not tried";
    rows.push_back(Row{feed, address, StateText(Str(state)), tried ? std::to_wstring(headlines) : L"",
                       WhenText(when), Str(reason)});
  }
  return rows;
}

void FeedStatusWindow::Refresh() {
  if (!window_.Handle()) return;
  LONG generation = 0;
  if (status_ && SUCCEEDED(status_->get_OutcomeGeneration(&generation))) {
    if (read_ && generation == generation_) return;  // nothing changed: no feed is read again
    generation_ = generation;
    read_ = true;
  }
  std::vector<Row> rows = ReadRows();
  if (rows == rows_) return;
  Fill(rows);
  rows_ = std::move(rows);
}

// Only the cells that changed are written; a list of another length is
// written anew.
void FeedStatusWindow::Fill(const std::vector<Row>& rows) {
  const bool whole = rows.size() != rows_.size();
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  if (whole) SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      if (!whole && rows_[r][c] == rows[r][c]) continue;
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = const_cast<wchar_t*>(rows[r][c].c_str());
      const UINT message = whole && c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW;
      SendMessageW(list_, message, message == LVM_INSERTITEMW ? 0 : r, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

LRESULT FeedStatusWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (list_) MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      if (list_) FitToDpi(HIWORD(wParam));
      return 0;
    }
    case WM_SETFOCUS:  // the keyboard goes to the list, whose arrows scroll it
      if (list_) SetFocus(list_);
      return 0;
    case WM_NOTIFY: {
      // Escape closes the window, as it would a dialog; later, since the
      // list is still in its own handling of the key.
      const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
      if (key->hdr.code == LVN_KEYDOWN && key->wVKey == VK_ESCAPE) PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    }
    case WM_NCDESTROY:
      Forget();  // closed by the user, or its owner went
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorvane::sidebar
