#include "sidebar/GadgetFactory.h"

#include <objbase.h>

#include "win/base/UniqueAny.h"

namespace quorvane::sidebar {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring ClassKey(REFCLSID clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  return std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
}

}  // namespace

GadgetFactory::GadgetFactory(std::wstring gadgetDll)
    : dllPath_(gadgetDll.empty() ? BesideExecutable(L"QuorvaneRSS.dll") : std::move(gadgetDll)) {}

GadgetFactory::~GadgetFactory() {
  for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  gadgetClass_.Reset();
  // The module stays loaded: objects it made may still be on their way out
  // (COM frees unused libraries when it is told they can go).
}

std::wstring GadgetFactory::BesideExecutable(const wchar_t* fileName) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return fileName;
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + fileName;
}

bool GadgetFactory::IsRegistered(REFCLSID clsid) {
  RegistryKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKey(clsid).c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

HRESULT GadgetFactory::Create(REFCLSID clsid, IUnknown** control) {
  if (!control) return E_POINTER;
  *control = nullptr;
  if (!dll_ && IsRegistered(clsid)) {
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(control));
    if (SUCCEEDED(hr) || !IsEqualCLSID(clsid, kGadgetClassId)) return hr;
  }
  if (!IsEqualCLSID(clsid, kGadgetClassId)) return REGDB_E_CLASSNOTREG;
  HRESULT hr = LoadDll();
  if (FAILED(hr)) return hr;
  return gadgetClass_->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(control));
}

HRESULT GadgetFactory::LoadDll() {
  if (dll_) return S_OK;
  UniqueModule dll(LoadLibraryW(dllPath_.c_str()));
  if (!dll) return HRESULT_FROM_WIN32(GetLastError());
  auto getClassObject = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllGetClassObject")));
  if (!getClassObject) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  ComPtr<IClassFactory> gadgetClass;
  HRESULT hr = getClassObject(kGadgetClassId, IID_PPV_ARGS(&gadgetClass));
  if (FAILED(hr)) return hr;
  dll_ = dll.release();  // for the life of the process: see ~GadgetFactory
  gadgetClass_ = gadgetClass;
  // The property frame creates pages with CoCreateInstance: offer the
  // module's classes to this process so it finds them unregistered.
  for (const CLSID* clsid : {&kGadgetClassId, &kSettingsPageClassId}) {
    ComPtr<IUnknown> classObject;
    DWORD cookie = 0;
    if (SUCCEEDED(getClassObject(*clsid, IID_PPV_ARGS(&classObject))) &&
        SUCCEEDED(CoRegisterClassObject(*clsid, classObject.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
      cookies_.push_back(cookie);
  }
  return S_OK;
}

}  // namespace quorvane::sidebar
