#include "harness/ScriptWaits.h"

#include "QuorvaneRSS_h.h"
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

}  // namespace

HWND FindDialogControl(int id) {
  FindControl search{id};
  EnumThreadWindows(GetCurrentThreadId(), &FindInTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<bool> ScriptConditionHolds(SidebarWindow& sidebar, const std::wstring& condition) {
  const size_t space = condition.find(L' ');
  const std::wstring verb = condition.substr(0, space);
  const std::wstring argument = space == std::wstring::npos ? L"" : condition.substr(space + 1);
  if (verb == L"fetched") return EveryFeedTried(sidebar);
  if (verb == L"control") return FindDialogControl(_wtoi(argument.c_str())) != nullptr;
  if (verb == L"window") {
    FindClass search{argument};
    EnumThreadWindows(GetCurrentThreadId(), &FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  return std::nullopt;
}

}  // namespace quorvane::sidebar
