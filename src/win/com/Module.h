#pragma once
// The module's lock count and instance handle. Every live COM object, every
// server lock and every running thread of the module holds one lock, so
// DllCanUnloadNow answers S_OK only when none of them is left.
#include <windows.h>

namespace quorvane::module {

void Lock();
void Unlock();
LONG LockCount();

// The module whose resources the gadget uses: the DLL, or the program
// itself when the code is linked statically (tests, tools).
HINSTANCE Instance();
void SetInstance(HINSTANCE instance);

// Holds one module lock for its lifetime.
class ScopedLock {
 public:
  ScopedLock() { Lock(); }
  ~ScopedLock() { Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;
};

}  // namespace quorvane::module
