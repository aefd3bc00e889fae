#include "sidebar/ProcessStats.h"

#include <psapi.h>
#include <tlhelp32.h>

#include "host/com/UniqueHandle.h"

namespace quorvane::sidebar {

ProcessStats CurrentProcessStats() {
  ProcessStats stats;
  HANDLE self = GetCurrentProcess();
  GetProcessHandleCount(self, &stats.handles);
  stats.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
  stats.userObjects = GetGuiResources(self, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
    stats.privateBytes = memory.PrivateUsage;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot) {
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    const DWORD pid = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
      if (entry.th32OwnerProcessID == pid) ++stats.threads;
  }
  return stats;
}

}  // namespace quorvane::sidebar
