// What the installer test asks of an installed system, from a program of
// one bitness (built 64-bit and 32-bit), so each sees its own registry view.
//
//   package_probe snapshot   the keys an installation may touch, one line each:
//                            ROOT\path<TAB>values (HKCR whole, the uninstall
//                            entries, the Run key, the sidebar's plug-in store)
//   package_probe create     creates the gadget from its registered class and
//                            prints the module it was loaded from and the
//                            FeedRefreshRate read by name through IDispatch
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "RegistrySnapshot.h"

namespace {

using namespace quorvane::test;

void Print(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void PrintTree(HKEY root, const wchar_t* rootName, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (const auto& [sub, values] : Snapshot(key)) {
    std::wstring name = std::wstring(rootName) + (*path ? L"\\" : L"") + path + (sub.empty() ? L"" : L"\\" + sub);
    Print(name + L"\t" + values + L"\n");
  }
  RegCloseKey(key);
}

int SnapshotCommand() {
  PrintTree(HKEY_CLASSES_ROOT, L"HKCR", L"");
  PrintTree(HKEY_LOCAL_MACHINE, L"HKLM", L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  PrintTree(HKEY_CURRENT_USER, L"HKCU", L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  PrintTree(HKEY_CURRENT_USER, L"HKCU", L"Software\\QuorvaneSidebar");
  return 0;
}

int CreateCommand() {
  const CLSID gadget = {0xD92EDB2C, 0x3B62, 0x49ED, {0x95, 0x68, 0x97, 0x06, 0xF0, 0x95, 0xC8, 0xC0}};
  if (FAILED(OleInitialize(nullptr))) return 2;
  int status = 1;
  IDispatch* dispatch = nullptr;
  HRESULT hr = CoCreateInstance(gadget, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  if (SUCCEEDED(hr)) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(GetModuleHandleW(L"QuorvaneRSS.dll"), path, MAX_PATH);
    LPOLESTR name = const_cast<LPOLESTR>(L"FeedRefreshRate");
    DISPID id = 0;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{};
    hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (SUCCEEDED(hr))
      hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (SUCCEEDED(hr) && result.vt == VT_I4) {
      Print(L"module=" + std::wstring(path) + L"\nFeedRefreshRate=" + std::to_wstring(result.lVal) + L"\n");
      status = 0;
    }
    VariantClear(&result);
    dispatch->Release();
  }
  if (status) std::printf("failed: 0x%08lX\n", static_cast<unsigned long>(hr));
  OleUninitialize();
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc == 2 ? argv[1] : L"";
  if (command == L"snapshot") return SnapshotCommand();
  if (command == L"create") return CreateCommand();
  std::fputs("usage: package_probe snapshot|create\n", stderr);
  return 2;
}
