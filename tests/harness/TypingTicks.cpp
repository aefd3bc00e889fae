#include "harness/TypingTicks.h"

#include <cwchar>

#include "gadget/GadgetControl.h"

namespace quorvane::sidebar {
namespace {

uint64_t ticks = 0;  // the window's thread only

LRESULT CALLBACK CountTypingTicks(int code, WPARAM removal, LPARAM message) {
  const MSG& taken = *reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && taken.message == WM_TIMER && taken.wParam == TIMER_TYPING) {
    wchar_t name[64] = {};
    GetClassNameW(taken.hwnd, name, 64);
    if (std::wcscmp(name, kMessageWindowClass) == 0) ++ticks;
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

TypingTickCounter::TypingTickCounter()
    : hook_(SetWindowsHookExW(WH_GETMESSAGE, &CountTypingTicks, nullptr, GetCurrentThreadId())) {}

uint64_t TypingTickCounter::Count() { return ticks; }

}  // namespace quorvane::sidebar
