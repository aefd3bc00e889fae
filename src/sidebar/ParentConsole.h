#pragma once
// The sidebar is a GUI program: Windows gives it no console. Started from
// cmd, it writes its usage, errors and --install results to the console of
// the process that started it; started with redirected output (a script,
// Wine), to that output.
#include <windows.h>

#include <string>

namespace quorvane::sidebar {

// Attaches to the parent's console unless the standard handles already
// lead somewhere. Call once, before the first WriteConsoleLine.
void AttachParentConsole();

// Writes `text` and a line break to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE:
// as UTF-16 to a console, as UTF-8 to a file or pipe; nowhere if neither.
void WriteConsoleLine(DWORD stdHandle, const std::wstring& text);

}  // namespace quorvane::sidebar
