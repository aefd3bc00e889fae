#pragma once
// The figures the soak run watches: the process's kernel handles, GDI and
// USER objects, threads and private bytes.
#include <windows.h>

#include <string>

namespace quorvane::sidebar {

struct ProcessStats {
  DWORD handles = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  DWORD threads = 0;
  SIZE_T privateBytes = 0;  // commit charge
};

ProcessStats CurrentProcessStats();

}  // namespace quorvane::sidebar
