#pragma once
// Counts the typing timer's ticks of every QuorvaneRSS on this thread as the
// thread takes them from its queue (a WH_GETMESSAGE hook), so that a script
// can wait until the gadget has had its chances to type.
#include <windows.h>

#include <cstdint>

#include "win/base/UniqueAny.h"

namespace quorvane::sidebar {

class TypingTickCounter {
 public:
  TypingTickCounter();
  // Ticks taken on this thread while a counter was installed.
  static uint64_t Count();

 private:
  UniqueNullable<HHOOK, &::UnhookWindowsHookEx> hook_;
};

}  // namespace quorvane::sidebar
