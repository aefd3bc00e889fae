#include "win/com/Module.h"

namespace quorvane::module {
namespace {
volatile LONG lockCount = 0;
HINSTANCE moduleInstance = nullptr;
}  // namespace

void Lock() { InterlockedIncrement(&lockCount); }
void Unlock() { InterlockedDecrement(&lockCount); }
LONG LockCount() { return InterlockedCompareExchange(&lockCount, 0, 0); }

HINSTANCE Instance() {
  if (!moduleInstance) {
    // Statically linked into a program: the code's own module.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Instance), &self);
    moduleInstance = self;
  }
  return moduleInstance;
}

void SetInstance(HINSTANCE instance) { moduleInstance = instance; }

}  // namespace quorvane::module
