#include "sidebar/ProcessStats.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "host/com/UniqueHandle.h"

namespace quorvane::sidebar {
namespace {

bool RunningUnderWine() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// Wine answers GetProcessHandleCount with 0; the system's handle list has
// the real figure (it is what Windows counts too).
DWORD CountHandlesInSystemList() {
  using QueryFn = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  struct Entry {
    ULONG processId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ULONG access;
  };
  constexpr ULONG kSystemHandleInformation = 16;
  std::vector<BYTE> buffer(1 << 20);
  for (int attempt = 0; attempt < 4; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) {
      const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
      const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
      const ULONG self = GetCurrentProcessId();
      DWORD mine = 0;
      for (ULONG i = 0; i < count; ++i) mine += entries[i].processId == self ? 1 : 0;
      return mine;
    }
    buffer.resize(buffer.size() * 4);
  }
  return 0;
}

// GCC 12 takes the 32-bit NtCurrentTeb() (a read at fs:0x18) for an
// out-of-bounds access.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
// Wine's GetGuiResources is a stub that answers 0; its GDI handle table is
// the process's own, so its used entries are the process's GDI objects.
DWORD CountGdiObjectsInWineTable() {
  struct Entry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type;
    BYTE flags;
    UINT64 user;
  };
  // PEB.GdiSharedHandleTable; the entries have the same layout in both.
  constexpr size_t kGdiHandleTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  constexpr int kEntries = 0x10000;
  const auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + kGdiHandleTableOffset);
  if (!table) return 0;
  DWORD used = 0;
  for (int i = 0; i < kEntries; ++i) used += table[i].type ? 1 : 0;
  return used;
}
#pragma GCC diagnostic pop

}  // namespace

ProcessStats CurrentProcessStats() {
  ProcessStats stats;
  HANDLE self = GetCurrentProcess();
  GetProcessHandleCount(self, &stats.handles);
  if (stats.handles == 0) stats.handles = CountHandlesInSystemList();
  stats.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
  if (stats.gdiObjects == 0 && RunningUnderWine()) stats.gdiObjects = CountGdiObjectsInWineTable();
  stats.userObjects = GetGuiResources(self, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
    stats.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
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
