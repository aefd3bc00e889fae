#include "host/registration/HostPluginRegistration.h"

#include <oleauto.h>

#include "win/HostInterfaces.h"
#include "win/com/ComPtr.h"

namespace quorvane {
namespace {

constexpr DWORD kHostContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
constexpr wchar_t kDisplayPluginRegistration[] = L"GoogleDesktop.DisplayPluginRegistration";

// The record the host keeps for the plug-in: name and value pairs.
constexpr const wchar_t* kRecord[] = {L"Title", L"QuorvaneRSS", L"Description", L"RSS quorvane", L"Icon", L""};

// A VARIANT holding the record as a zero-based array of VARIANT strings.
HRESULT MakeRecord(UniqueVariant& record) {
  const LONG count = static_cast<LONG>(ARRAYSIZE(kRecord));
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, count);
  if (!array) return E_OUTOFMEMORY;
  VARIANT* value = record.out();
  value->vt = VT_ARRAY | VT_VARIANT;
  value->parray = array;
  for (LONG i = 0; i < count; ++i) {
    UniqueVariant entry;
    VARIANT* text = entry.out();
    text->vt = VT_BSTR;
    text->bstrVal = SysAllocString(kRecord[i]);
    if (!text->bstrVal) return E_OUTOFMEMORY;
    const HRESULT hr = SafeArrayPutElement(array, &i, text);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// The registry form of a class id: upper-case hexadecimal in braces.
UniqueBstr ClassIdString(REFCLSID clsid) {
  wchar_t text[40];
  if (!StringFromGUID2(clsid, text, ARRAYSIZE(text))) return UniqueBstr();
  CharUpperW(text);
  return UniqueBstr(text);
}

HRESULT CreateHostRegistrar(ComPtr<IHostComponentRegistrar>& registrar) {
  return CoCreateInstance(CLSID_HostComponentRegistrar, nullptr, kHostContext, IID_IHostComponentRegistrar,
                          reinterpret_cast<void**>(registrar.GetAddressOf()));
}

}  // namespace

HRESULT RegisterHostPlugin(REFCLSID control) {
  ComPtr<IHostComponentRegistrar> registrar;
  HRESULT hr = CreateHostRegistrar(registrar);
  if (FAILED(hr)) return hr;

  UniqueVariant record;
  if (FAILED(hr = MakeRecord(record))) return hr;
  const UniqueBstr classId = ClassIdString(control);
  if (!classId.get()) return E_OUTOFMEMORY;

  if (FAILED(hr = registrar->RegisterComponent(classId.get(), record.get()))) return hr;

  UniqueBstr name(kDisplayPluginRegistration);
  ComPtr<IUnknown> plugin;
  hr = name.get() ? registrar->GetRegistrationObject(name.get(), plugin.GetAddressOf()) : E_OUTOFMEMORY;
  // The object is known only by its methods' numbers, so it is used as
  // handed out, without a QueryInterface.
  if (SUCCEEDED(hr) && !plugin) hr = E_POINTER;
  if (SUCCEEDED(hr))
    hr = static_cast<IHostPluginRegistrar*>(static_cast<IUnknown*>(plugin.Get()))
             ->RegisterPlugin(classId.get(), VARIANT_FALSE);
  if (SUCCEEDED(hr)) hr = registrar->Finish();
  if (FAILED(hr)) registrar->UnregisterComponent(classId.get());
  return hr;
}

void UnregisterHostPlugin(REFCLSID control) {
  ComPtr<IHostComponentRegistrar> registrar;
  if (FAILED(CreateHostRegistrar(registrar))) return;
  const UniqueBstr classId = ClassIdString(control);
  if (classId.get()) registrar->UnregisterComponent(classId.get());
}

}  // namespace quorvane
