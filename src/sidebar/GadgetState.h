#pragma once
// The file that keeps a gadget's saved state between runs of the sidebar:
// the bytes the gadget writes through IPersistStreamInit::Save, as they are.
#include <windows.h>
#include <objidl.h>

#include <string>

#include "settings/FeedTitles.h"
#include "win/com/ComPtr.h"

namespace quorvane::sidebar {

// %APPDATA%\QuorvaneRSS\Sidebar\<class id>.state
std::wstring DefaultStatePath(REFCLSID clsid);

// A stream over the whole file, or null when there is no file to read (the
// gadget then starts new). A damaged file is handed over as it is: the
// gadget's own Load decides what to make of it.
ComPtr<IStream> ReadStateFile(const std::wstring& path);

// Saves the gadget to the file through a temporary file beside it, so a
// failed or interrupted save leaves the previous state whole.
HRESULT SaveStateFile(IUnknown* control, const std::wstring& path);

// The titles the user gave the gadget's feeds, kept by the sidebar in a
// file beside the state ("<state>.titles"); none when there is no file.
FeedTitles ReadFeedTitlesFile(const std::wstring& statePath);
HRESULT SaveFeedTitlesFile(const FeedTitles& titles, const std::wstring& statePath);

}  // namespace quorvane::sidebar
