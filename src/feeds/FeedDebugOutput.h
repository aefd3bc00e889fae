#pragma once
// The worker's lines of debugger output. A sink can be installed to see
// them too (the command-line tool writes them to standard error, tests
// collect them).
#include <functional>
#include <string_view>

namespace quorvane {

void DebugLineW(const wchar_t* text);  // OutputDebugStringW
void DebugLineA(const char* text);     // OutputDebugStringA

// Receives every line as 8-bit text, on the thread that writes it. Empty to
// remove.
void SetDebugSink(std::function<void(std::string_view)> sink);

}  // namespace quorvane
