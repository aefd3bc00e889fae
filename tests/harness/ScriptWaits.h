#pragma once
// What a script's wait-until step waits for, and the windows its steps look
// up. Conditions:
//
//   fetched        every feed of the first gadget has been tried (none is
//                  "not tried"), so its first cycle has ended
//   window CLASS   a visible window of class CLASS belongs to the thread
//   control ID     a dialog of the thread has a control with id ID
//   showing TEXT   the first gadget's screen is the text that starts with
//                  TEXT (its text area's accessible name)
//   text-ink N     the first gadget's text area, inside its outline, shows
//                  at least N pixels of ink (pixels unlike the most common
//                  colour of their row)
//   text-changed   the first gadget's text area differs from what it showed
//                  at the script's last capture step
//   typing-ticks N the gadgets' typing timer has ticked N times since the
//                  script's last capture step (TypingTicks.h)
//   not COND       COND does not hold
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sidebar/SidebarWindow.h"

namespace quorvane::sidebar {

// The pixels of the first gadget's text area (between its bars), row by
// row, as the screen shows them now; empty without a gadget.
std::vector<COLORREF> TextAreaPixels(SidebarWindow& sidebar);

// What the script's last capture step saw: the text area's pixels, and the
// typing ticks counted so far.
struct CaptureMark {
  std::vector<COLORREF> text;
  uint64_t typingTicks = 0;
};

// Whether `condition` holds now; nothing when it names no known condition.
std::optional<bool> ScriptConditionHolds(SidebarWindow& sidebar, const std::wstring& condition,
                                         const CaptureMark& lastCapture);

// A control of a dialog of this thread (the settings frame and its page).
HWND FindDialogControl(int id);

}  // namespace quorvane::sidebar
