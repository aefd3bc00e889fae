#pragma once
// The sidebar's own frame for a gadget's property pages: the pages stacked
// in a modal window with OK, Cancel and Apply, as the standard frame shows
// them. Wine's standard frame never applies its pages (its OK and Apply do
// not reach IPropertyPage::Apply), so under Wine the sidebar uses this one.
#include <windows.h>
#include <ocidl.h>

#include <string>

namespace quorvane::sidebar {

// Shows the pages `pages` of `object` until the user closes the frame.
// Returns S_OK when the frame ran.
HRESULT ShowSettingsFrame(HWND owner, const std::wstring& caption, IUnknown* object, const CAUUID& pages);

// True when the standard frame cannot apply pages here (Wine).
bool StandardFrameCannotApply();

}  // namespace quorvane::sidebar
