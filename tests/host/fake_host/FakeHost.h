#pragma once
// What the registration tests and the fake host registration object share.
#include <windows.h>

#include <string_view>

namespace quorvane::test {

inline constexpr wchar_t kFakeHostLogVariable[] = L"QUORVANE_FAKE_HOST_LOG";
inline constexpr wchar_t kFakeHostFailVariable[] = L"QUORVANE_FAKE_HOST_FAIL";

// The status a method of the fake returns when told to fail: distinct per
// method, so a test sees whose failure came back.
inline HRESULT FakeHostFailure(std::wstring_view method) {
  constexpr std::wstring_view methods[] = {L"RegisterComponent", L"GetRegistrationObject", L"RegisterPlugin",
                                           L"Finish", L"UnregisterComponent"};
  for (size_t i = 0; i < std::size(methods); ++i)
    if (methods[i] == method) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0F01 + i);
  return E_FAIL;
}

}  // namespace quorvane::test
