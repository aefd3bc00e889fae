#pragma once
// One owner for every kind of handle the product holds: UniqueAny<Traits>
// keeps a value, frees it exactly once with Traits::Close, moves and never
// copies. A kind of handle is a few lines of traits:
//
//   struct Traits {
//     using Type = ...;                   // what is held
//     static Type Invalid();              // the empty value
//     static bool IsValid(const Type&);   // whether there is anything to free
//     static void Close(Type&);           // frees it
//   };
//
// Most kinds are null when empty and freed by one function: for them
// UniqueNullable<T, &Free> is the whole definition, as in the list below.
// COM interface pointers are owned by ComPtr.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>

#include <utility>

namespace quorvane {

template <typename Traits>
class UniqueAny {
 public:
  using Type = typename Traits::Type;

  UniqueAny() = default;
  // Takes ownership of `value`.
  explicit UniqueAny(Type value) : value_(Traits::IsValid(value) ? value : Traits::Invalid()) {}
  ~UniqueAny() { reset(); }
  UniqueAny(UniqueAny&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;

  const Type& get() const { return value_; }
  explicit operator bool() const { return Traits::IsValid(value_); }
  // Gives up ownership without freeing.
  Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = Traits::IsValid(value) ? value : Traits::Invalid();
  }
  // Frees what is held and hands out the storage for an API that fills
  // it in (RegOpenKeyExW(..., key.out()), VariantInit-ed VARIANT, ...).
  Type* out() {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

// The traits of most kinds: null is empty, `CloseFunction` frees.
template <typename T, auto CloseFunction>
struct NullTraits {
  using Type = T;
  static constexpr Type Invalid() { return nullptr; }
  static bool IsValid(Type value) { return value != nullptr; }
  static void Close(Type value) { CloseFunction(value); }
};
template <typename T, auto CloseFunction>
using UniqueNullable = UniqueAny<NullTraits<T, CloseFunction>>;

// Kernel objects: events, threads, processes, files, snapshots. Some APIs
// answer INVALID_HANDLE_VALUE for "none"; it is held as null.
struct KernelHandleTraits : NullTraits<HANDLE, &::CloseHandle> {
  static bool IsValid(HANDLE value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
};
using UniqueHandle = UniqueAny<KernelHandleTraits>;

// Pens, brushes, fonts, bitmaps.
using UniqueBitmap = UniqueNullable<HBITMAP, &::DeleteObject>;
using UniqueFont = UniqueNullable<HFONT, &::DeleteObject>;
using UniquePen = UniqueNullable<HPEN, &::DeleteObject>;
using UniqueBrush = UniqueNullable<HBRUSH, &::DeleteObject>;
// A device context of our own making (CreateCompatibleDC, CreateDC); not
// one from GetDC, which goes back with ReleaseDC.
using UniqueDc = UniqueNullable<HDC, &::DeleteDC>;
// A window's device context from GetDC, which goes back with ReleaseDC.
struct WindowDc {
  HWND window;
  HDC dc;
};
struct WindowDcTraits {
  using Type = WindowDc;
  static constexpr Type Invalid() { return {nullptr, nullptr}; }
  static bool IsValid(const WindowDc& value) { return value.dc != nullptr; }
  static void Close(const WindowDc& value) { ::ReleaseDC(value.window, value.dc); }
};
using UniqueWindowDc = UniqueAny<WindowDcTraits>;
using UniqueIcon = UniqueNullable<HICON, &::DestroyIcon>;
using UniqueMenu = UniqueNullable<HMENU, &::DestroyMenu>;
using RegistryKey = UniqueNullable<HKEY, &::RegCloseKey>;
// Sessions, connections and requests of WinInet.
using UniqueInternetHandle = UniqueNullable<HINTERNET, &::InternetCloseHandle>;
// A module loaded with LoadLibrary.
using UniqueModule = UniqueNullable<HMODULE, &::FreeLibrary>;
// Memory an API hands out for the caller to free with CoTaskMemFree
// (PROPPAGEINFO's strings, CAUUID's array, known folder paths), or with
// LocalFree (CommandLineToArgvW's array).
template <typename T>
using UniqueCoTaskMem = UniqueNullable<T*, &::CoTaskMemFree>;
template <typename T>
using UniqueLocalMem = UniqueNullable<T*, &::LocalFree>;
using BstrTraits = NullTraits<BSTR, &::SysFreeString>;

// A VARIANT, cleared once. out() hands out an empty VARIANT to fill in.
struct VariantTraits {
  using Type = VARIANT;
  static Type Invalid() {
    VARIANT empty;
    ::VariantInit(&empty);
    return empty;
  }
  static bool IsValid(const VARIANT& value) { return value.vt != VT_EMPTY; }
  static void Close(VARIANT& value) { ::VariantClear(&value); }
};
using UniqueVariant = UniqueAny<VariantTraits>;

// The end of a CoInitializeEx or OleInitialize that succeeded: the held
// value says whether there is a call to undo.
struct CoUninitializeTraits {
  using Type = bool;
  static constexpr Type Invalid() { return false; }
  static bool IsValid(bool joined) { return joined; }
  static void Close(bool) { ::CoUninitialize(); }
};
struct OleUninitializeTraits : CoUninitializeTraits {
  static void Close(bool) { ::OleUninitialize(); }
};

}  // namespace quorvane
