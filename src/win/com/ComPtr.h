#pragma once
// Owning COM interface pointer (WRL's ComPtr) and owning BSTR.
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <utility>

#include "win/base/UniqueAny.h"

namespace quorvane {

using Microsoft::WRL::ComPtr;

// A BSTR, freed once. Constructed from text it copies the text; taking
// ownership of an existing BSTR is spelled Adopt(): a plain wchar_t buffer
// converts to BSTR too, and must never be taken for one.
class UniqueBstr : public UniqueAny<BstrTraits> {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(const wchar_t* text) : UniqueAny(SysAllocString(text)) {}
  explicit UniqueBstr(const std::u16string& text)
      : UniqueAny(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {}
  static UniqueBstr Adopt(BSTR bstr) {
    UniqueBstr owner;
    *owner.out() = bstr;
    return owner;
  }

  std::u16string str() const {
    return get() ? std::u16string(reinterpret_cast<const char16_t*>(get()), SysStringLen(get())) : std::u16string();
  }
};

inline const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U16(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }

}  // namespace quorvane
