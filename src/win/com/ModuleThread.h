#pragma once
// Starts a thread that runs module code and keeps the module alive for as
// long as it runs: it holds a module lock (so DllCanUnloadNow answers
// S_FALSE) and a loader reference that it drops only as its very last act
// (FreeLibraryAndExitThread), so no instruction of the module runs after
// the module could be unloaded.
#include <functional>

#include "win/base/UniqueHandle.h"

namespace quorvane {

// Returns the thread's handle, or an empty handle if it could not start
// (then `body` is not run).
UniqueHandle StartModuleThread(std::function<void()> body);

}  // namespace quorvane
