#pragma once
// An IStream over bytes in memory whose reads or writes fail from a given
// offset on, for the persistence tests.
#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "win/com/ComObject.h"

namespace quorvane::test {

class TestStream final : public ComObject, public IStream {
 public:
  TestStream(IUnknown* outer, std::vector<unsigned char> bytes) : ComObject(outer), bytes(std::move(bytes)) {}
  QUORVANE_COM_IUNKNOWN

  static ComPtr<IStream> Create(std::vector<unsigned char> bytes, TestStream** self = nullptr) {
    ComPtr<IStream> stream;
    CreateComObject<TestStream>(nullptr, IID_IStream, reinterpret_cast<void**>(stream.GetAddressOf()),
                                std::move(bytes));
    if (self) *self = static_cast<TestStream*>(stream.Get());
    return stream;
  }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* done) override {
    if (done) *done = 0;
    if (failReadAt && position + size > *failReadAt) return STG_E_READFAULT;
    const ULONG count = static_cast<ULONG>(std::min<size_t>(size, bytes.size() - position));
    if (count) std::memcpy(buffer, bytes.data() + position, count);
    position += count;
    if (done) *done = count;
    return count == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* done) override {
    if (done) *done = 0;
    if (failWriteAt && bytes.size() + size > *failWriteAt) return STG_E_WRITEFAULT;
    const auto* p = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), p, p + size);
    if (done) *done = size;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  std::vector<unsigned char> bytes;
  size_t position = 0;
  std::optional<size_t> failReadAt;   // a read reaching past this offset fails
  std::optional<size_t> failWriteAt;  // a write reaching past this size fails

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IStream, static_cast<IStream*>(this)},
                                 {IID_ISequentialStream, static_cast<ISequentialStream*>(this)}});
  }
};

}  // namespace quorvane::test
