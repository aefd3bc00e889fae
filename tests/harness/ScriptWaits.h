#pragma once
// What a script's wait-until step waits for, and the windows its steps look
// up. Conditions:
//
//   fetched        every feed of the first gadget has been tried (none is
//                  "not tried"), so its first cycle has ended
//   window CLASS   a visible window of class CLASS belongs to the thread
//   control ID     a dialog of the thread has a control with id ID
#include <windows.h>

#include <optional>
#include <string>

#include "sidebar/SidebarWindow.h"

namespace quorvane::sidebar {

// Whether `condition` holds now; nothing when it names no known condition.
std::optional<bool> ScriptConditionHolds(SidebarWindow& sidebar, const std::wstring& condition);

// A control of a dialog of this thread (the settings frame and its page).
HWND FindDialogControl(int id);

}  // namespace quorvane::sidebar
