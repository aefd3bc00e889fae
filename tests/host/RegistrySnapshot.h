#pragma once
// A copy of a registry tree as text, to compare what registration changed:
// every key's path (relative to the snapshot's root) with a description of
// its values, `="default" Name="text"`, string values shown as text.
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace quorvane::test {

using RegistryTree = std::map<std::wstring, std::wstring>;

namespace detail {

inline std::wstring DescribeValues(HKEY key, DWORD count, DWORD maxName, DWORD maxData) {
  std::map<std::wstring, std::wstring> values;
  std::vector<wchar_t> name(maxName + 1);
  std::vector<BYTE> data(maxData + sizeof(wchar_t));
  for (DWORD i = 0; i < count; ++i) {
    DWORD nameLength = maxName + 1, type = 0, bytes = maxData;
    std::fill(data.begin(), data.end(), 0);
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS) break;
    values[std::wstring(name.data(), nameLength)] =
        type == REG_SZ ? L"\"" + std::wstring(reinterpret_cast<const wchar_t*>(data.data())) + L"\""
                       : L"type " + std::to_wstring(type) + L", " + std::to_wstring(bytes) + L" bytes";
  }
  std::wstring out;
  for (const auto& [valueName, shown] : values) out += (out.empty() ? L"" : L" ") + valueName + L"=" + shown;
  return out;
}

inline void AddTree(HKEY key, const std::wstring& path, RegistryTree& tree) {
  DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values, &maxName, &maxData,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return;
  tree[path] = DescribeValues(key, values, maxName, maxData);
  std::vector<wchar_t> name(maxSubkey + 1);
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD length = maxSubkey + 1;
    if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    // In 64-bit Wine (as in Windows) parts of Wow6432Node are views of the
    // 64-bit keys, not keys of their own.
    if (path.empty() && !_wcsicmp(name.data(), L"Wow6432Node")) continue;
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, name.data(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    const std::wstring childName(name.data(), length);
    AddTree(child, path.empty() ? childName : path + L"\\" + childName, tree);
    RegCloseKey(child);
  }
}

}  // namespace detail

// The whole tree under `root`, except its Wow6432Node.
inline RegistryTree Snapshot(HKEY root) {
  RegistryTree tree;
  detail::AddTree(root, L"", tree);
  return tree;
}

// The keys of `after` that are new or whose values differ from `before`.
inline RegistryTree Changed(const RegistryTree& before, const RegistryTree& after) {
  RegistryTree changed;
  for (const auto& [path, values] : after) {
    const auto old = before.find(path);
    if (old == before.end() || old->second != values) changed.emplace(path, values);
  }
  return changed;
}

// The keys of `before` that `after` lacks.
inline std::vector<std::wstring> Removed(const RegistryTree& before, const RegistryTree& after) {
  std::vector<std::wstring> removed;
  for (const auto& entry : before)
    if (!after.count(entry.first)) removed.push_back(entry.first);
  return removed;
}

}  // namespace quorvane::test
