#include "sidebar/GadgetState.h"

#include <ocidl.h>
#include <shlobj.h>

#include <vector>

#include "win/base/UniqueHandle.h"

namespace quorvane::sidebar {
namespace {

// No gadget state comes near this; a bigger file is damaged and only its
// start is handed to the gadget.
constexpr DWORD kMaxStateBytes = 16 * 1024 * 1024;
// A gadget's estimate of its saved size is trusted this far.
constexpr ULONGLONG kMaxPresizeBytes = 256 * 1024 * 1024;

// Titles of a few hundred feeds take some kilobytes.
constexpr DWORD kMaxTitlesBytes = 1024 * 1024;

std::wstring TitlesPath(const std::wstring& statePath) { return statePath + L".titles"; }

void CreateFolders(const std::wstring& path) {
  for (size_t slash = path.find_first_of(L"\\/", 3); slash != std::wstring::npos;
       slash = path.find_first_of(L"\\/", slash + 1))
    CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
}

}  // namespace

std::wstring DefaultStatePath(REFCLSID clsid) {
  UniqueCoTaskMem<wchar_t> appData;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, appData.out())))
    folder = appData.get();
  wchar_t id[40];
  StringFromGUID2(clsid, id, 40);
  return folder + L"\\QuorvaneRSS\\Sidebar\\" + id + L".state";
}

ComPtr<IStream> ReadStateFile(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return nullptr;
  const DWORD wanted = size.QuadPart > kMaxStateBytes ? kMaxStateBytes : static_cast<DWORD>(size.QuadPart);
  std::vector<BYTE> bytes(wanted);
  DWORD read = 0;
  if (wanted && !ReadFile(file.get(), bytes.data(), wanted, &read, nullptr)) return nullptr;
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
  ULONG written = 0;
  if (read && FAILED(stream->Write(bytes.data(), read, &written))) return nullptr;
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

HRESULT SaveStateFile(IUnknown* control, const std::wstring& path) {
  if (!control) return E_POINTER;
  ComPtr<IPersistStreamInit> persist;
  HRESULT hr = control->QueryInterface(IID_PPV_ARGS(&persist));
  if (FAILED(hr)) return hr;
  ComPtr<IStream> stream;
  hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (FAILED(hr)) return hr;
  // A memory stream grows by copying itself: sized up front, a large state
  // is saved without one copy per write. A size that cannot be had is no
  // reason not to save.
  ULARGE_INTEGER sizeMax{};
  if (SUCCEEDED(persist->GetSizeMax(&sizeMax)) && sizeMax.QuadPart <= kMaxPresizeBytes) stream->SetSize(sizeMax);
  hr = persist->Save(stream.Get(), TRUE);
  if (FAILED(hr)) return hr;

  HGLOBAL memory = nullptr;
  hr = GetHGlobalFromStream(stream.Get(), &memory);
  if (FAILED(hr)) return hr;
  // What was written ends where the save left the stream; the size set
  // above may be larger.
  ULARGE_INTEGER end{};
  hr = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
  if (FAILED(hr)) return hr;
  if (end.QuadPart > MAXDWORD) return E_OUTOFMEMORY;
  const DWORD length = static_cast<DWORD>(end.QuadPart);

  CreateFolders(path);
  const std::wstring temporary = path + L".new";
  {
    UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return HRESULT_FROM_WIN32(GetLastError());
    const void* bytes = GlobalLock(memory);
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), bytes, length, &written, nullptr) && written == length &&
                    FlushFileBuffers(file.get());
    GlobalUnlock(memory);
    if (!ok) {
      hr = HRESULT_FROM_WIN32(GetLastError());
      file.reset();
      DeleteFileW(temporary.c_str());
      return FAILED(hr) ? hr : E_FAIL;
    }
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    hr = HRESULT_FROM_WIN32(GetLastError());
    DeleteFileW(temporary.c_str());
    return hr;
  }
  return S_OK;
}

FeedTitles ReadFeedTitlesFile(const std::wstring& statePath) {
  UniqueHandle file(CreateFileW(TitlesPath(statePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes(kMaxTitlesBytes, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), kMaxTitlesBytes, &read, nullptr)) return {};
  bytes.resize(read);
  return ParseFeedTitles(bytes);
}

HRESULT SaveFeedTitlesFile(const FeedTitles& titles, const std::wstring& statePath) {
  const std::string text = FeedTitlesText(titles);
  CreateFolders(statePath);
  UniqueHandle file(CreateFileW(TitlesPath(statePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return HRESULT_FROM_WIN32(GetLastError());
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size())
    return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}

}  // namespace quorvane::sidebar
