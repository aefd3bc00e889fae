#include "settings/SettingsPage.h"

#include <commctrl.h>

#include <algorithm>
#include <new>

#include "QuorvaneRSS_h.h"
#include "win/com/Module.h"
#include "settings/FeedAddress.h"
#include "settings/FeedList.h"
#include "settings/SettingsPageResources.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

constexpr wchar_t kMessageCaption[] = L"QuorvaneRSS";

// The dialog uses a trackbar, whose window class the common controls
// library registers only on request.
void InitTrackbarClass() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The feed list's template height holds a whole number of rows only for
// some fonts; the last row would show cut in half. The list keeps its top
// and shrinks to the rows that fit whole (at least one).
void FitListToWholeRows(HWND list) {
  const LRESULT row = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  RECT client{}, outer{};
  if (row <= 0 || !GetClientRect(list, &client) || !GetWindowRect(list, &outer)) return;
  const int rows = std::max(1, static_cast<int>(client.bottom / row));
  const int frame = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, frame + rows * static_cast<int>(row),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The page's size in pixels: its template's dialog units converted for the
// template's font. Measured on a hidden copy of the dialog so the result is
// the dialog manager's own conversion.
SIZE MeasureDialog() {
  InitTrackbarClass();
  SIZE size{0, 0};
  HWND holder = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!holder) return size;
  if (HWND dialog = CreateDialogParamW(module::Instance(), MAKEINTRESOURCEW(IDD_SETTINGS_PAGE), holder,
                                       InertDialogProc, 0)) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    // Each control's position and size are rounded on their own, so at
    // some dpi a control that ends on the template's edge ends a pixel
    // beyond the dialog's: the page covers every control whole.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT part;
      GetWindowRect(child, &part);
      rect.right = std::max(rect.right, part.right);
      rect.bottom = std::max(rect.bottom, part.bottom);
    }
    size = {rect.right - rect.left, rect.bottom - rect.top};
    DestroyWindow(dialog);
  }
  DestroyWindow(holder);
  return size;
}

std::u16string WindowText(HWND window) {
  std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)), u'\0');
  if (!text.empty())
    text.resize(static_cast<size_t>(GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                                   static_cast<int>(text.size() + 1))));
  return text;
}

LPOLESTR TaskMemCopy(const wchar_t* text) {
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (copy) memcpy(copy, text, bytes);
  return copy;
}

}  // namespace

QuorvaneRSSPropPage::~QuorvaneRSSPropPage() {
  // The dialog procedure points at this object.
  if (dialog_) Deactivate();
}

void* QuorvaneRSSPropPage::FindInterface(REFIID iid) {
  return LookUpInterface(iid, {{IID_IPropertyPage, static_cast<IPropertyPage*>(this)}});
}

HRESULT QuorvaneRSSPropPage::SetPageSite(IPropertyPageSite* site) {
  if (site && site_) return E_UNEXPECTED;
  site_ = site;
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (dialog_) return E_UNEXPECTED;
  if (!rect) return E_POINTER;
  InitTrackbarClass();
  // WM_INITDIALOG runs Opening before CreateDialogParam returns, so the
  // procedure learns the dialog's handle from its first message.
  HWND dialog = CreateDialogParamW(module::Instance(), MAKEINTRESOURCEW(IDD_SETTINGS_PAGE), parent, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
  if (!dialog) {
    dialog_ = nullptr;
    return HRESULT_FROM_WIN32(GetLastError());
  }
  dialog_ = dialog;
  return Move(rect);
}

HRESULT QuorvaneRSSPropPage::Deactivate() {
  if (!dialog_) return E_UNEXPECTED;
  HWND dialog = dialog_;
  dialog_ = nullptr;
  DestroyWindow(dialog);
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  wchar_t title[128] = L"";
  LoadStringW(module::Instance(), IDS_SETTINGS_TITLE, title, ARRAYSIZE(title));
  info->cb = sizeof(*info);
  info->pszTitle = TaskMemCopy(title);
  if (!info->pszTitle) return E_OUTOFMEMORY;
  info->size = MeasureDialog();
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  std::vector<ComPtr<IUnknown>> kept;
  try {
    kept.assign(objects, objects + count);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  objects_.swap(kept);
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::Show(UINT command) {
  if (!dialog_) return E_UNEXPECTED;
  ShowWindow(dialog_, static_cast<int>(command));
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!dialog_) return E_UNEXPECTED;
  MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

HRESULT QuorvaneRSSPropPage::IsPageDirty() { return changed_ ? S_OK : S_FALSE; }

HRESULT QuorvaneRSSPropPage::Apply() {
  // The values live in the dialog's fields; without it there is nothing to
  // apply, and reading absent fields as 0 would overwrite the settings.
  if (!dialog_) return E_UNEXPECTED;
  try {
    ApplyToObjects();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  // The page stays changed after applying.
  changed_ = true;
  TellSite(PROPPAGESTATUS_DIRTY);
  return S_OK;
}

void QuorvaneRSSPropPage::ApplyToObjects() {
  const int minutes = static_cast<int>(GetDlgItemInt(dialog_, IDC_REFRESH_MINUTES, nullptr, TRUE));
  const int seconds = static_cast<int>(GetDlgItemInt(dialog_, IDC_WAIT_SECONDS, nullptr, TRUE));
  const int speed = static_cast<int>(SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_GETPOS, 0, 0));
  UniqueBstr feeds;
  if (feedsChanged_) {
    feeds = UniqueBstr(JoinFeedList(FeedListEntries()));
    if (!feeds.get()) throw std::bad_alloc();
  }
  for (const auto& object : objects_) {
    ComPtr<IQuorvaneRSSGadget> gadget;
    if (!object || FAILED(object.As(&gadget))) continue;
    if (feedsChanged_) gadget->put_FeedURLs(feeds.get());
    gadget->put_FeedRefreshRate(minutes);
    gadget->put_DelayBetweenFeeds(seconds);
    gadget->put_SpeechSpeed(speed);
  }
}

HRESULT QuorvaneRSSPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

HRESULT QuorvaneRSSPropPage::TranslateAccelerator(MSG* message) {
  if (!message) return E_POINTER;
  const UINT id = message->message;
  const bool keyboard = id >= WM_KEYFIRST && id <= WM_KEYLAST;
  const bool mouse = id >= WM_MOUSEFIRST && id <= WM_MOUSELAST;
  if (!dialog_ || (!keyboard && !mouse)) return S_FALSE;
  return IsDialogMessageW(dialog_, message) ? S_OK : S_FALSE;
}

INT_PTR CALLBACK QuorvaneRSSPropPage::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // No exception may unwind through the window manager: a list that cannot
  // be built for lack of memory is left as far as it got.
  try {
    if (message == WM_INITDIALOG) {
      auto* page = reinterpret_cast<QuorvaneRSSPropPage*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      page->dialog_ = dialog;
      FitListToWholeRows(GetDlgItem(dialog, IDC_FEED_LIST));
      page->Opening();
      return TRUE;
    }
    auto* page = reinterpret_cast<QuorvaneRSSPropPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!page || page->dialog_ != dialog) return FALSE;
    if (message == WM_COMMAND) return page->OnCommand(LOWORD(wParam), HIWORD(wParam));
  } catch (const std::bad_alloc&) {
    return TRUE;
  }
  return FALSE;
}

bool QuorvaneRSSPropPage::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_ADD_FEED:
      if (code != BN_CLICKED) return false;
      Add();
      return true;
    case IDC_REMOVE_FEED:
      if (code != BN_CLICKED) return false;
      Remove();
      return true;
    case IDC_REFRESH_MINUTES:
      if (code == EN_CHANGE) MarkChanged();
      return code == EN_CHANGE || code == EN_KILLFOCUS;
    case IDC_FEED_LIST:
      return code == LBN_SELCHANGE;
    default:
      return false;
  }
}

void QuorvaneRSSPropPage::Opening() {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (objects_.empty() || !objects_.front() || FAILED(objects_.front().As(&gadget))) return;

  UniqueBstr feeds;
  gadget->get_FeedURLs(feeds.out());
  HWND list = GetDlgItem(dialog_, IDC_FEED_LIST);
  for (const auto& url : SplitFeedList(feeds.str()))
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(url)));

  int minutes = 0, seconds = 0, speed = 0;
  gadget->get_FeedRefreshRate(&minutes);
  gadget->get_DelayBetweenFeeds(&seconds);
  gadget->get_SpeechSpeed(&speed);
  SetDlgItemInt(dialog_, IDC_REFRESH_MINUTES, static_cast<UINT>(minutes), FALSE);
  SetDlgItemInt(dialog_, IDC_WAIT_SECONDS, static_cast<UINT>(seconds), FALSE);

  HWND trackbar = GetDlgItem(dialog_, IDC_SPEED);
  SendMessageW(trackbar, TBM_SETTICFREQ, 2, 0);
  SendMessageW(trackbar, TBM_SETRANGEMIN, TRUE, -10);
  SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, 10);
  SendMessageW(trackbar, TBM_SETPOS, TRUE, speed);

  // Filling field 201 reported a change; what the page shows now is what
  // the object holds.
  if (changed_) {
    changed_ = false;
    TellSite(PROPPAGESTATUS_CLEAN);
  }
}

// The address is completed as a browser would ("example.org/rss" gets
// "http://"); one the gadget could never read is refused, saying why.
void QuorvaneRSSPropPage::Add() {
  const std::u16string typed(TrimWhiteSpace(WindowText(GetDlgItem(dialog_, IDC_NEW_FEED_URL))));
  if (typed.empty()) return ShowMessage(L"Please enter RSS feed URL to add", IDC_NEW_FEED_URL);
  const FeedAddress address = CheckFeedAddress(typed, true);
  if (address.fault == FeedAddressFault::kNoDot)
    return ShowMessage(L"Please enter valid RSS feed URL to add", IDC_NEW_FEED_URL);
  if (address.url.empty()) return ShowMessage(Wide(address.problem), IDC_NEW_FEED_URL);
  SendDlgItemMessageW(dialog_, IDC_FEED_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(address.url)));
  SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, L"");
  MarkChanged();
  feedsChanged_ = true;
}

void QuorvaneRSSPropPage::Remove() {
  HWND list = GetDlgItem(dialog_, IDC_FEED_LIST);
  // The current item is the one with the focus rectangle. Some list boxes
  // name item 0 even when the list is empty, so the count decides first.
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const LRESULT current = count > 0 ? SendMessageW(list, LB_GETCARETINDEX, 0, 0) : LB_ERR;
  if (current < 0 || current >= count)
    return ShowMessage(L"Please select RSS feed URL to remove", IDC_FEED_LIST);
  SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(current), 0);
  MarkChanged();
  feedsChanged_ = true;
}

void QuorvaneRSSPropPage::MarkChanged() {
  if (changed_) return;
  changed_ = true;
  TellSite(PROPPAGESTATUS_DIRTY);
}

void QuorvaneRSSPropPage::TellSite(DWORD status) {
  if (site_) site_->OnStatusChange(status);
}

void QuorvaneRSSPropPage::ShowMessage(const wchar_t* text, int focusId) {
  // The box's own message loop may let the frame deactivate or release the
  // page; the page stays alive until the box is gone.
  const ComPtr<IUnknown> keepAlive(ControllingUnknown());
  MessageBoxW(dialog_, text, kMessageCaption, MB_OK);
  if (dialog_) SetFocus(GetDlgItem(dialog_, focusId));
}

std::vector<std::u16string> QuorvaneRSSPropPage::FeedListEntries() const {
  std::vector<std::u16string> entries;
  HWND list = GetDlgItem(dialog_, IDC_FEED_LIST);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) continue;
    std::u16string entry(static_cast<size_t>(length) + 1, u'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(got < 0 ? 0 : static_cast<size_t>(got));
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace quorvane
