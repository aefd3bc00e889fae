// The sidebar's component registration object, loaded from its DLL and
// called by slot as a plug-in's DllRegisterServer calls it. The current
// user's registry is redirected to a scratch key for each test.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/HostInterfaces.h"
#include "win/com/ComPtr.h"
#include "sidebar/registrar/PluginStore.h"
#include "WineTestPaths.h"

namespace quorvane::sidebar {
namespace {

constexpr const wchar_t* kGadgetId = L"{D92EDB2C-3B62-49ED-9568-9706F095C8C0}";
constexpr const wchar_t* kOtherId = L"{0B7C4E0A-1D2E-4F3A-8B9C-0D1E2F3A4B5C}";

class PluginRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratchPath_ = L"Software\\QuorvaneSidebarTest\\" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &scratch_, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch_), ERROR_SUCCESS);
    CoInitialize(nullptr);
    module_ = LoadLibraryW(testing::BuildPath(L"src\\sidebar\\QuorvaneSidebarRegistrar.dll").c_str());
    ASSERT_NE(module_, nullptr);
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnloadNow_);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_HostComponentRegistrar, IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHostComponentRegistrar,
                                      reinterpret_cast<void**>(registrar_.GetAddressOf())), S_OK);
  }

  void TearDown() override {
    registrar_.Reset();
    if (module_) FreeLibrary(module_);
    CoUninitialize();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (scratch_) RegCloseKey(scratch_);
    RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuorvaneSidebarTest");  // when no other run uses it
  }

  // The record a display plug-in sends: name/value pairs as VARIANT strings.
  static VARIANT Record(const std::vector<const wchar_t*>& strings) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(strings.size()));
    for (LONG i = 0; i < static_cast<LONG>(strings.size()); ++i) {
      VARIANT item;
      item.vt = VT_BSTR;
      item.bstrVal = SysAllocString(strings[i]);
      SafeArrayPutElement(array, &i, &item);
      VariantClear(&item);
    }
    VARIANT record;
    VariantInit(&record);
    record.vt = VT_ARRAY | VT_VARIANT;
    record.parray = array;
    return record;
  }

  HRESULT RegisterComponent(const wchar_t* id, const std::vector<const wchar_t*>& strings) {
    VARIANT record = Record(strings);
    UniqueBstr classId(id);
    const HRESULT hr = registrar_->RegisterComponent(classId.get(), record);
    VariantClear(&record);
    return hr;
  }

  HRESULT RegisterDisplayPlugin(const wchar_t* id) {
    ComPtr<IUnknown> object;
    UniqueBstr name(L"GoogleDesktop.DisplayPluginRegistration");
    HRESULT hr = registrar_->GetRegistrationObject(name.get(), object.GetAddressOf());
    if (FAILED(hr)) return hr;
    // Called by slot through the pointer handed out, as plug-ins do.
    UniqueBstr classId(id);
    hr = reinterpret_cast<IHostPluginRegistrar*>(object.Get())->RegisterPlugin(classId.get(), VARIANT_FALSE);
    return FAILED(hr) ? hr : registrar_->Finish();
  }

  static std::vector<std::wstring> Listed() {
    std::vector<std::wstring> ids;
    for (const PluginRecord& record : PluginStore::ListDisplayPlugins(kGadgetId)) ids.push_back(record.classId);
    return ids;
  }

  const std::vector<const wchar_t*> gadgetRecord_{L"Title", L"QuorvaneRSS", L"Description", L"RSS quorvane",
                                                  L"Icon", L""};
  std::wstring scratchPath_;
  HKEY scratch_ = nullptr;
  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
  ComPtr<IHostComponentRegistrar> registrar_;
};

TEST_F(PluginRegistrationTest, RegisteredDisplayPluginsAreListedWithQuorvaneFirstAndUnregisterRemovesThem) {
  ASSERT_EQ(RegisterComponent(kOtherId, {L"Title", L"Weather"}), S_OK);
  ASSERT_EQ(RegisterDisplayPlugin(kOtherId), S_OK);
  ASSERT_EQ(RegisterComponent(L"{d92edb2c-3b62-49ed-9568-9706f095c8c0}", gadgetRecord_), S_OK);
  ASSERT_EQ(RegisterDisplayPlugin(kGadgetId), S_OK);

  const auto plugins = PluginStore::ListDisplayPlugins(kGadgetId);
  ASSERT_EQ(plugins.size(), 2u);
  EXPECT_EQ(plugins[0].classId, kGadgetId);  // stored in canonical form
  EXPECT_EQ(plugins[0].title, L"QuorvaneRSS");
  EXPECT_EQ(plugins[0].description, L"RSS quorvane");
  EXPECT_EQ(plugins[1].title, L"Weather");

  UniqueBstr gadget(kGadgetId);
  EXPECT_EQ(registrar_->UnregisterComponent(gadget.get()), S_OK);
  EXPECT_EQ(Listed(), std::vector<std::wstring>{kOtherId});
  EXPECT_TRUE(SUCCEEDED(registrar_->UnregisterComponent(gadget.get())));  // again: nothing to do

  // The last one gone, no empty key is left behind.
  UniqueBstr other(kOtherId);
  EXPECT_EQ(registrar_->UnregisterComponent(other.get()), S_OK);
  HKEY left = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuorvaneSidebar", 0, KEY_READ, &left), ERROR_SUCCESS);
  if (left) RegCloseKey(left);
}

TEST_F(PluginRegistrationTest, AComponentIsOnlyListedOnceMarkedAndReregistrationReplacesItsRecord) {
  ASSERT_EQ(RegisterComponent(kGadgetId, gadgetRecord_), S_OK);
  EXPECT_TRUE(Listed().empty());  // a component, not yet a display plug-in
  ASSERT_EQ(RegisterDisplayPlugin(kGadgetId), S_OK);
  ASSERT_EQ(Listed().size(), 1u);

  ASSERT_EQ(RegisterComponent(kGadgetId, {L"Title", L"QuorvaneRSS 2"}), S_OK);
  EXPECT_TRUE(Listed().empty());
  ASSERT_EQ(RegisterDisplayPlugin(kGadgetId), S_OK);
  const auto plugins = PluginStore::ListDisplayPlugins(kGadgetId);
  ASSERT_EQ(plugins.size(), 1u);
  EXPECT_EQ(plugins[0].title, L"QuorvaneRSS 2");
  EXPECT_EQ(plugins[0].description, L"");  // the old record is gone whole
}

TEST_F(PluginRegistrationTest, MalformedCallsAreRefusedAndStoreNothing) {
  for (const wchar_t* id : {L"D92EDB2C-3B62-49ED-9568-9706F095C8C0", L"QuorvaneRSS.QuorvaneRSSGadget", L"",
                            L"{D92EDB2C-3B62-49ED-9568-9706F095C8C0}x", L"{..\\..\\Run}"})
    EXPECT_EQ(RegisterComponent(id, gadgetRecord_), E_INVALIDARG) << id;
  EXPECT_EQ(RegisterComponent(kGadgetId, {L"Title", L"QuorvaneRSS", L"Description"}), E_INVALIDARG);
  EXPECT_EQ(RegisterComponent(kGadgetId, {L"", L"no name"}), E_INVALIDARG);

  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"Title");
  UniqueBstr gadget(kGadgetId);
  EXPECT_EQ(registrar_->RegisterComponent(gadget.get(), text), E_INVALIDARG);
  VariantClear(&text);
  EXPECT_EQ(registrar_->RegisterComponent(nullptr, text), E_INVALIDARG);

  ComPtr<IUnknown> object;
  UniqueBstr unknownName(L"GoogleDesktop.SomethingElse");
  EXPECT_EQ(registrar_->GetRegistrationObject(unknownName.get(), object.GetAddressOf()), E_INVALIDARG);
  EXPECT_EQ(object.Get(), nullptr);
  EXPECT_TRUE(FAILED(RegisterDisplayPlugin(kGadgetId)));  // never registered as a component
  EXPECT_TRUE(Listed().empty());

  HKEY root = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, PluginStore::kRootKey, 0, KEY_READ, &root), ERROR_SUCCESS);
  if (root) RegCloseKey(root);
}

TEST_F(PluginRegistrationTest, TheModuleStaysWhileItsObjectsLive) {
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  ComPtr<IUnknown> object;
  UniqueBstr name(L"GoogleDesktop.DisplayPluginRegistration");
  ASSERT_EQ(registrar_->GetRegistrationObject(name.get(), object.GetAddressOf()), S_OK);
  registrar_.Reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  object.Reset();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

}  // namespace
}  // namespace quorvane::sidebar
