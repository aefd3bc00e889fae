// A stand-in for the sidebar host's component registration object, served
// by a COM DLL of its own that the registration tests register in their
// Wine prefix only. Each call appends one line to a log file; any method can
// be told to fail.
//
// Environment (read at every call, so one process can change it between
// registrations):
//   QUORVANE_FAKE_HOST_LOG    the log file (UTF-8, one line per call)
//   QUORVANE_FAKE_HOST_FAIL   the name of the method that fails, e.g.
//                             "GetRegistrationObject"; it returns
//                             FakeHostFailure(name) (see FakeHost.h)
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "FakeHost.h"
#include "win/HostInterfaces.h"
#include "win/com/ClassFactory.h"
#include "win/com/ComPtr.h"

namespace quorvane::test {
namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
  return length && length < ARRAYSIZE(value) ? std::wstring(value, length) : std::wstring();
}

void Log(const std::wstring& line) {
  const std::wstring path = Environment(kFakeHostLogVariable);
  if (path.empty()) return;
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::wstring text = line + L"\n";
  char utf8[4096];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8,
                                        sizeof(utf8), nullptr, nullptr);
  DWORD written = 0;
  WriteFile(file, utf8, static_cast<DWORD>(bytes), &written, nullptr);
  CloseHandle(file);
}

// Logs the call and answers with the configured failure, if it is this one.
HRESULT Call(const wchar_t* method, const std::wstring& arguments = {}) {
  Log(arguments.empty() ? method : std::wstring(method) + L" " + arguments);
  return Environment(kFakeHostFailVariable) == method ? FakeHostFailure(method) : S_OK;
}

std::wstring Quoted(BSTR text) { return L"\"" + std::wstring(text ? text : L"", SysStringLen(text)) + L"\""; }

std::wstring Describe(const VARIANT& record) {
  if (record.vt != (VT_ARRAY | VT_VARIANT)) return L"vt=" + std::to_wstring(record.vt);
  SAFEARRAY* array = record.parray;
  LONG lower = 0, upper = -1;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper)))
    return L"bad array";
  std::wstring out = L"lbound=" + std::to_wstring(lower);
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT element;
    VariantInit(&element);
    SafeArrayGetElement(array, &i, &element);
    out += L" " + (element.vt == VT_BSTR ? Quoted(element.bstrVal) : L"vt=" + std::to_wstring(element.vt));
    VariantClear(&element);
  }
  return out;
}

// The host hands out its plug-in registration object as an interface whose
// method 7 registers the plug-in; the fake names that interface privately.
// {5B3C6F0E-7A0D-4C55-9E0B-2D1C9A4F6E01}
constexpr IID kPluginRegistrationIid = {0x5B3C6F0E, 0x7A0D, 0x4C55, {0x9E, 0x0B, 0x2D, 0x1C, 0x9A, 0x4F, 0x6E, 0x01}};

class PluginRegistration final : public ComObject, public IHostPluginRegistrar {
 public:
  explicit PluginRegistration(IUnknown* outer) : ComObject(outer) {}
  ~PluginRegistration() override { Log(L"Released PluginRegistration"); }
  QUORVANE_COM_IUNKNOWN

  QUORVANE_HOST_SLOT_NOTIMPL(3) QUORVANE_HOST_SLOT_NOTIMPL(4) QUORVANE_HOST_SLOT_NOTIMPL(5) QUORVANE_HOST_SLOT_NOTIMPL(6)
  HRESULT STDMETHODCALLTYPE RegisterPlugin(BSTR classId, VARIANT_BOOL flag) override {
    const wchar_t* shown = flag == VARIANT_FALSE ? L"false" : flag == VARIANT_TRUE ? L"true" : L"other";
    return Call(L"RegisterPlugin", std::wstring(classId ? classId : L"") + L" " + shown);
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{kPluginRegistrationIid, static_cast<IHostPluginRegistrar*>(this)}});
  }
};

class ComponentRegistrar final : public ComObject, public IHostComponentRegistrar {
 public:
  explicit ComponentRegistrar(IUnknown* outer) : ComObject(outer) {}
  ~ComponentRegistrar() override { Log(L"Released ComponentRegistrar"); }
  QUORVANE_COM_IUNKNOWN

  QUORVANE_HOST_SLOT_NOTIMPL(3) QUORVANE_HOST_SLOT_NOTIMPL(4) QUORVANE_HOST_SLOT_NOTIMPL(5) QUORVANE_HOST_SLOT_NOTIMPL(6)
  HRESULT STDMETHODCALLTYPE RegisterComponent(BSTR classId, VARIANT record) override {
    return Call(L"RegisterComponent", std::wstring(classId ? classId : L"") + L" " + Describe(record));
  }
  HRESULT STDMETHODCALLTYPE GetRegistrationObject(BSTR name, IUnknown** result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    const HRESULT hr = Call(L"GetRegistrationObject", Quoted(name));
    if (FAILED(hr)) return hr;
    return CreateComObject<PluginRegistration>(nullptr, kPluginRegistrationIid, reinterpret_cast<void**>(result));
  }
  HRESULT STDMETHODCALLTYPE Finish() override { return Call(L"Finish"); }
  HRESULT STDMETHODCALLTYPE UnregisterComponent(BSTR classId) override {
    return Call(L"UnregisterComponent", classId ? classId : L"");
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return LookUpInterface(iid, {{IID_IHostComponentRegistrar, static_cast<IHostComponentRegistrar*>(this)}});
  }
};

}  // namespace
}  // namespace quorvane::test

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, quorvane::CLSID_HostComponentRegistrar)) return CLASS_E_CLASSNOTAVAILABLE;
  return quorvane::GetClassFactory<quorvane::test::ComponentRegistrar>(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return quorvane::module::LockCount() == 0 ? S_OK : S_FALSE;
}
