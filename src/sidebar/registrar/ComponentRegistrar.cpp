#include "sidebar/registrar/ComponentRegistrar.h"

#include "win/com/ComPtr.h"
#include "sidebar/registrar/DisplayPluginRegistration.h"
#include "sidebar/registrar/PluginStore.h"

namespace quorvane::sidebar {
namespace {

std::wstring FromBstr(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

// The registration record is a one-dimensional array of VARIANTs holding
// name/value pairs. Anything else is refused rather than half stored.
HRESULT ReadRecord(const VARIANT& registration, RegistrationFields& fields) {
  SAFEARRAY* array = nullptr;
  if (registration.vt == (VT_ARRAY | VT_VARIANT))
    array = registration.parray;
  else if (registration.vt == (VT_BYREF | VT_ARRAY | VT_VARIANT) && registration.pparray)
    array = *registration.pparray;
  else if (registration.vt == (VT_BYREF | VT_VARIANT) && registration.pvarVal)
    return ReadRecord(*registration.pvarVal, fields);
  if (!array || SafeArrayGetDim(array) != 1) return E_INVALIDARG;
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
    return E_INVALIDARG;
  const LONG count = upper - lower + 1;
  if (count < 0 || count % 2 != 0) return E_INVALIDARG;
  for (LONG i = lower; i <= upper; i += 2) {
    std::wstring pair[2];
    for (LONG k = 0; k < 2; ++k) {
      LONG index = i + k;
      UniqueVariant item;
      VARIANT* value = item.out();
      HRESULT hr = SafeArrayGetElement(array, &index, value);
      if (SUCCEEDED(hr)) hr = VariantChangeType(value, value, 0, VT_BSTR);
      if (SUCCEEDED(hr)) pair[k] = FromBstr(value->bstrVal);
      if (FAILED(hr)) return E_INVALIDARG;
    }
    if (pair[0].empty() || pair[0].size() > 255) return E_INVALIDARG;
    fields.emplace_back(std::move(pair[0]), std::move(pair[1]));
  }
  return S_OK;
}

}  // namespace

HRESULT ComponentRegistrar::RegisterComponent(BSTR classId, VARIANT registration) {
  if (!classId) return E_INVALIDARG;
  RegistrationFields fields;
  const HRESULT hr = ReadRecord(registration, fields);
  if (FAILED(hr)) return hr;
  return PluginStore::PutComponent(FromBstr(classId), fields);
}

HRESULT ComponentRegistrar::GetRegistrationObject(BSTR name, IUnknown** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  if (FromBstr(name) != kDisplayPluginRegistrationName) return E_INVALIDARG;
  // The interface pointer itself (not the object's IUnknown): callers call
  // its method 7 through this pointer.
  return CreateComObject<DisplayPluginRegistration>(nullptr, IID_IDisplayPluginRegistration,
                                                    reinterpret_cast<void**>(result));
}

// Records are written as they come, so there is nothing left to commit.
HRESULT ComponentRegistrar::Finish() { return S_OK; }

HRESULT ComponentRegistrar::UnregisterComponent(BSTR classId) {
  if (!classId) return E_INVALIDARG;
  return PluginStore::RemoveComponent(FromBstr(classId));
}

}  // namespace quorvane::sidebar
