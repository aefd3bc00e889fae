// The sidebar's state file: a gadget's save lands in it byte for byte, into
// a stream sized up front from the gadget's GetSizeMax.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "win/com/ComObject.h"
#include "sidebar/GadgetState.h"

namespace quorvane::sidebar {
namespace {

using Bytes = std::vector<unsigned char>;

// Saves `payload` in 4 KB writes and reports a size a little above it, as
// an estimate may be.
class FakeState final : public ComObject, public IPersistStreamInit {
 public:
  FakeState(IUnknown* outer, Bytes payload) : ComObject(outer), payload(std::move(payload)) {}
  QUORVANE_COM_IUNKNOWN

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = CLSID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL) override {
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    sizeWhenSaving = stat.cbSize.QuadPart;
    for (size_t at = 0; at < payload.size(); at += 4096) {
      const ULONG piece = static_cast<ULONG>(std::min<size_t>(4096, payload.size() - at));
      if (const HRESULT hr = stream->Write(payload.data() + at, piece, nullptr); FAILED(hr)) return hr;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
    size->QuadPart = payload.size() + 100;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }

  Bytes payload;
  ULONGLONG sizeWhenSaving = 0;

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(this)}});
  }
};

TEST(GadgetStateTest, SaveGoesIntoAStreamSizedFromGetSizeMaxAndNothingMore) {
  Bytes payload(3 * 1024 * 1024 + 7);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<unsigned char>(i * 7 + i / 4096);
  ComPtr<IPersistStreamInit> gadget;
  ASSERT_EQ(S_OK, CreateComObject<FakeState>(nullptr, IID_IPersistStreamInit,
                                             reinterpret_cast<void**>(gadget.GetAddressOf()), payload));
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"quorvane-gadget-state-test.state";

  ASSERT_EQ(S_OK, SaveStateFile(gadget.Get(), path));
  EXPECT_GE(static_cast<FakeState*>(gadget.Get())->sizeWhenSaving, payload.size() + 100)
      << "an unsized memory stream copies itself as it grows";
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  const Bytes saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  EXPECT_TRUE(saved == payload) << "saved " << saved.size() << " bytes of " << payload.size();
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace quorvane::sidebar
