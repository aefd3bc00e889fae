#pragma once
// Owning COM interface pointer and owning BSTR.
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <utility>

namespace quorvane {

using Microsoft::WRL::ComPtr;

class UniqueBstr {
 public:
  UniqueBstr() = default;
  // Copies the text. Taking ownership of an existing BSTR is spelled
  // Adopt(): a plain wchar_t buffer converts to BSTR too, and must never be
  // taken for one.
  explicit UniqueBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  static UniqueBstr Adopt(BSTR bstr) {
    UniqueBstr owner;
    owner.bstr_ = bstr;
    return owner;
  }
  explicit UniqueBstr(const std::u16string& text)
      : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {}
  ~UniqueBstr() { SysFreeString(bstr_); }
  UniqueBstr(UniqueBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(bstr_);
      bstr_ = std::exchange(other.bstr_, nullptr);
    }
    return *this;
  }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;

  BSTR get() const { return bstr_; }
  BSTR* out() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }
  BSTR release() { return std::exchange(bstr_, nullptr); }
  std::u16string str() const {
    return bstr_ ? std::u16string(reinterpret_cast<const char16_t*>(bstr_), SysStringLen(bstr_)) : std::u16string();
  }

 private:
  BSTR bstr_ = nullptr;
};

inline const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U16(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }

}  // namespace quorvane
