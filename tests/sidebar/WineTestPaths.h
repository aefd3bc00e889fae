#pragma once
// Paths of the build tree as a test under Wine sees them.
#include <cstdlib>
#include <string>

namespace quorvane::sidebar::testing {

// QUORVANE_BUILD_DIR (a Unix path) on Wine's Z: drive, plus `relative`.
inline std::wstring BuildPath(const std::wstring& relative) {
  const char* build = std::getenv("QUORVANE_BUILD_DIR");
  std::wstring path = L"Z:";
  for (const char* c = build ? build : "."; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path + L"\\" + relative;
}

}  // namespace quorvane::sidebar::testing
