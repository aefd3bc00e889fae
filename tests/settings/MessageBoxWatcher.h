#pragma once
// Finds, reads and dismisses a message box that the code under test shows
// on the test's own thread: a helper thread looks for the box by caption
// while the action runs inside the box's modal loop.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace quorvane::test {

struct SeenMessageBox {
  bool found = false;
  std::wstring text;
  HWND owner = nullptr;
  std::vector<std::wstring> buttons;
  bool icon = false;
};

namespace detail {

inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

inline BOOL CALLBACK ReadChild(HWND child, LPARAM context) {
  auto& seen = *reinterpret_cast<SeenMessageBox*>(context);
  wchar_t name[64] = L"";
  GetClassNameW(child, name, ARRAYSIZE(name));
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (!(style & WS_VISIBLE)) return TRUE;
  if (!lstrcmpiW(name, L"Button")) {
    seen.buttons.push_back(TextOf(child));
  } else if (!lstrcmpiW(name, L"Static")) {
    if ((style & SS_TYPEMASK) == SS_ICON)
      seen.icon = seen.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
    else if (seen.text.empty())
      seen.text = TextOf(child);
  }
  return TRUE;
}

}  // namespace detail

template <class Action>
SeenMessageBox WatchMessageBox(const wchar_t* caption, Action&& action) {
  std::atomic<bool> done{false};
  SeenMessageBox seen;
  std::thread watcher([&] {
    for (int tries = 0; tries < 500 && !done; ++tries) {
      HWND box = FindWindowW(L"#32770", caption);
      if (box && IsWindowVisible(box)) {
        seen.found = true;
        seen.owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, detail::ReadChild, reinterpret_cast<LPARAM>(&seen));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
      }
      Sleep(10);
    }
  });
  action();
  done = true;
  watcher.join();
  return seen;
}

}  // namespace quorvane::test
