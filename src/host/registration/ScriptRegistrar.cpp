#include "host/registration/ScriptRegistrar.h"

#include <string>

#include "host/registration/RegistryKey.h"

namespace quorvane {
namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

HRESULT FromWin32(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

bool IsGone(LSTATUS status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

HRESULT SetString(HKEY key, const wchar_t* name, const std::u16string& text) {
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
  return FromWin32(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

HRESULT DeleteTree(HKEY parent, const std::u16string& name) {
  const LSTATUS status = RegDeleteTreeW(parent, W(name));
  return IsGone(status) ? S_OK : FromWin32(status);
}

HRESULT WriteKey(HKEY parent, const RegistryScriptKey& key) {
  if (key.kind == RegistryScriptKey::Kind::Replace) {
    const HRESULT hr = DeleteTree(parent, key.name);
    if (FAILED(hr)) return hr;
  }
  RegistryKey opened;
  HRESULT hr = FromWin32(RegCreateKeyExW(parent, W(key.name), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_READ | KEY_WRITE, nullptr, opened.out(), nullptr));
  if (FAILED(hr)) return hr;
  if (key.text && FAILED(hr = SetString(opened.get(), nullptr, *key.text))) return hr;
  for (const auto& [name, text] : key.values)
    if (FAILED(hr = SetString(opened.get(), W(name), text))) return hr;
  return WriteScriptKeys(opened.get(), key.subkeys);
}

HRESULT RemoveKey(HKEY parent, const RegistryScriptKey& key) {
  if (key.kind != RegistryScriptKey::Kind::Keep) return DeleteTree(parent, key.name);
  RegistryKey opened;
  const LSTATUS status = RegOpenKeyExW(parent, W(key.name), 0, KEY_READ | KEY_WRITE, opened.out());
  if (IsGone(status)) return S_OK;
  HRESULT first = FromWin32(status);
  if (FAILED(first)) return first;
  for (const auto& value : key.values) {
    const LSTATUS deleted = RegDeleteValueW(opened.get(), W(value.first));
    if (!IsGone(deleted) && SUCCEEDED(first)) first = FromWin32(deleted);
  }
  const HRESULT hr = RemoveScriptKeys(opened.get(), key.subkeys);
  return SUCCEEDED(first) ? hr : first;
}

std::u16string Utf8ToUtf16(const char* text, int bytes) {
  std::u16string wide;
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, bytes, nullptr, 0);
  if (length <= 0) return wide;
  wide.resize(static_cast<size_t>(length));
  MultiByteToWideChar(CP_UTF8, 0, text, bytes, reinterpret_cast<wchar_t*>(wide.data()), length);
  if (!wide.empty() && wide.front() == u'\xFEFF') wide.erase(0, 1);
  return wide;
}

}  // namespace

HRESULT WriteScriptKeys(HKEY root, const std::vector<RegistryScriptKey>& keys) {
  for (const auto& key : keys) {
    const HRESULT hr = WriteKey(root, key);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RemoveScriptKeys(HKEY root, const std::vector<RegistryScriptKey>& keys) {
  HRESULT first = S_OK;
  for (const auto& key : keys) {
    const HRESULT hr = RemoveKey(root, key);
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  }
  return first;
}

HRESULT RunModuleScript(HMODULE module, UINT id, const RegistryScriptVariables& variables, bool install,
                        HKEY root) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGSCRIPT");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!text) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  try {
    const RegistryScriptParse script =
        ParseRegistryScript(Utf8ToUtf16(text, static_cast<int>(SizeofResource(module, found))), variables);
    if (!script.ok()) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    return install ? WriteScriptKeys(root, script.keys) : RemoveScriptKeys(root, script.keys);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace quorvane
