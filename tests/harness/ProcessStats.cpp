#include "harness/ProcessStats.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "win/base/UniqueHandle.h"

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

struct GdiHandleEntry {
  UINT64 object;
  ULONG owner;
  USHORT unique;
  BYTE type;
  BYTE flags;
  UINT64 user;
};

// GCC 12 takes the 32-bit NtCurrentTeb() (a read at fs:0x18) for an
// out-of-bounds access.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
// Wine's GDI handle table, from the process's PEB. A 32-bit process in a
// 64-bit prefix has it in the 64-bit PEB, which it reaches as under WoW64:
// TEB.GdiBatchCount holds the 64-bit TEB, whose Peb is at 0x60.
const GdiHandleEntry* WineGdiHandleTable() {
  constexpr size_t kTablePeb64 = 0xF8;  // PEB.GdiSharedHandleTable
  const auto* teb = reinterpret_cast<const BYTE*>(NtCurrentTeb());
#ifdef _WIN64
  const BYTE* peb64 = *reinterpret_cast<const BYTE* const*>(teb + 0x60);
#else
  const ULONG teb64 = *reinterpret_cast<const ULONG*>(teb + 0xF70);  // TEB.GdiBatchCount
  if (!teb64) return nullptr;  // not in a 64-bit prefix
  const auto* peb64 = reinterpret_cast<const BYTE*>(
      static_cast<ULONG_PTR>(*reinterpret_cast<const UINT64*>(static_cast<ULONG_PTR>(teb64) + 0x60)));
#endif
  return reinterpret_cast<const GdiHandleEntry*>(
      static_cast<ULONG_PTR>(*reinterpret_cast<const UINT64*>(peb64 + kTablePeb64)));
}
#pragma GCC diagnostic pop

// Wine's GetGuiResources is a stub that answers 0; its GDI handle table is
// the process's own, so its used entries are the process's GDI objects.
DWORD CountGdiObjectsInWineTable() {
  constexpr int kEntries = 0x10000;
  const GdiHandleEntry* table = WineGdiHandleTable();
  if (!table) return 0;
  DWORD used = 0;
  for (int i = 0; i < kEntries; ++i) used += table[i].type ? 1 : 0;
  return used;
}

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
