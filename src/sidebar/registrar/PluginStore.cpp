#include "sidebar/registrar/PluginStore.h"

#include <objbase.h>

#include "win/base/UniqueAny.h"

namespace quorvane::sidebar {
namespace {

constexpr const wchar_t* kDisplayValue = L"DisplayPlugin";
constexpr const wchar_t* kOptionValue = L"DisplayOption";

std::wstring KeyPath(const std::wstring& canonicalId) {
  return std::wstring(PluginStore::kRootKey) + L"\\" + canonicalId;
}

std::wstring ReadString(HKEY key, const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  return buffer;
}

DWORD ReadDword(HKEY key, const wchar_t* name) {
  DWORD value = 0, bytes = sizeof(value), type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return 0;
  return value;
}

// Deletes the key at `path` if nothing is left in it.
void DeleteIfEmpty(const std::wstring& path) {
  DWORD subkeys = 1, values = 1;
  {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
      return;
  }
  if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace

std::wstring PluginStore::CanonicalClassId(const std::wstring& text) {
  // CLSIDFromString also accepts ProgIDs and looks them up; only the braced
  // GUID form is a class id here.
  if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return {};
  CLSID clsid{};
  if (FAILED(IIDFromString(text.c_str(), &clsid))) return {};
  wchar_t canonical[40];
  StringFromGUID2(clsid, canonical, 40);
  return canonical;
}

HRESULT PluginStore::PutComponent(const std::wstring& classId, const RegistrationFields& fields) {
  const std::wstring id = CanonicalClassId(classId);
  if (id.empty()) return E_INVALIDARG;
  const std::wstring path = KeyPath(id);
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  RegistryKey key;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  for (const auto& [name, value] : fields) {
    status = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT PluginStore::MarkDisplayPlugin(const std::wstring& classId, bool option) {
  const std::wstring id = CanonicalClassId(classId);
  if (id.empty()) return E_INVALIDARG;
  RegistryKey key;
  // Only a component registered before can become a display plug-in.
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(id).c_str(), 0, KEY_WRITE, key.out());
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  const DWORD one = 1, opt = option ? 1 : 0;
  status = RegSetValueExW(key.get(), kDisplayValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
  if (status == ERROR_SUCCESS)
    status = RegSetValueExW(key.get(), kOptionValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&opt), sizeof(opt));
  return HRESULT_FROM_WIN32(status);
}

HRESULT PluginStore::RemoveComponent(const std::wstring& classId) {
  const std::wstring id = CanonicalClassId(classId);
  if (id.empty()) return E_INVALIDARG;
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath(id).c_str());
  // The last record gone, the sidebar leaves no empty keys of its own.
  const std::wstring root = kRootKey;
  DeleteIfEmpty(root);
  DeleteIfEmpty(root.substr(0, root.rfind(L'\\')));
  if (status == ERROR_FILE_NOT_FOUND) return S_FALSE;
  return HRESULT_FROM_WIN32(status);
}

std::vector<PluginRecord> PluginStore::ListDisplayPlugins(const std::wstring& firstClassId) {
  std::vector<PluginRecord> plugins;
  RegistryKey root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRootKey, 0, KEY_READ, root.out()) != ERROR_SUCCESS) return plugins;
  const std::wstring first = CanonicalClassId(firstClassId);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring id = CanonicalClassId(name);
    if (id.empty()) continue;
    RegistryKey key;
    if (RegOpenKeyExW(root.get(), name, 0, KEY_READ, key.out()) != ERROR_SUCCESS) continue;
    PluginRecord record{id, ReadString(key.get(), L"Title"), ReadString(key.get(), L"Description"),
                        ReadDword(key.get(), kDisplayValue) != 0};
    if (!record.display) continue;
    if (id == first)
      plugins.insert(plugins.begin(), std::move(record));
    else
      plugins.push_back(std::move(record));
  }
  return plugins;
}

}  // namespace quorvane::sidebar
