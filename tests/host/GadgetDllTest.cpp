// The built QuorvaneRSS.dll as a host uses it: class factory, aggregation,
// the control sited in our container, in-place activation, the plug-in
// calls, and a teardown that leaves no thread and lets the module go.
#include <windows.h>

#include <gtest/gtest.h>

#include "GadgetDll.h"
#include "QuorvaneRSS_h.h"
#include "TestContainer.h"
#include "ThreadCount.h"
#include "win/HostInterfaces.h"
#include "win/com/Apartment.h"
#include "win/com/ComPtr.h"

namespace quorvane::test {
namespace {

// An outer object that counts the references its inner object delegates.
class CountingOuter final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

// Settings ready as a host makes them: defaults, then a feed list whose only
// feed fails at once (a closed port on this machine), so no test goes out to
// the network.
void InitSettings(IUnknown* control) {
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
  EXPECT_EQ(persist->InitNew(), S_OK);
  ComPtr<IQuorvaneRSSGadget> gadget;
  ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&gadget)), S_OK);
  UniqueBstr feeds(L"http://127.0.0.1:9/feed URL ");
  EXPECT_EQ(gadget->put_FeedURLs(feeds.get()), S_OK);
}

HRESULT CreateGadget(const GadgetDll& dll, IUnknown* outer, REFIID iid, void** out) {
  ComPtr<IClassFactory> factory;
  const HRESULT hr = dll.GetClassObject(CLSID_QuorvaneRSSGadget, IID_PPV_ARGS(&factory));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, iid, out);
}

TEST(GadgetDll, ServesTheControlClassAndUnloadsWhenNothingIsLeft) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded()) << "cannot load " << std::string(GadgetDll::Path().begin(), GadgetDll::Path().end());
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);

  ComPtr<IClassFactory> factory;
  EXPECT_EQ(dll.GetClassObject(CLSID_QuorvaneRSSGadget, IID_PPV_ARGS(&factory)), S_OK);
  ComPtr<IUnknown> none;
  EXPECT_EQ(dll.GetClassObject(IID_IQuorvaneRSSGadget, IID_PPV_ARGS(&none)), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the factory object

  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the server lock
  ASSERT_EQ(dll.GetClassObject(CLSID_QuorvaneRSSGadget, IID_PPV_ARGS(&factory)), S_OK);
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
  EXPECT_TRUE(dll.Unload());
}

TEST(GadgetDll, AggregatedControlHandsOutItsInnerUnknownOnly) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  CountingOuter outer;

  void* refused = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateGadget(dll, &outer, IID_IOleObject, &refused), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(refused, nullptr);

  ASSERT_EQ(CreateGadget(dll, &outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
  ASSERT_NE(outer.inner, nullptr);
  // Interfaces of the inner object count their references on the outer one.
  ComPtr<IQuorvaneRSSGadget> gadget;
  ASSERT_EQ(outer.QueryInterface(IID_PPV_ARGS(&gadget)), S_OK);
  EXPECT_EQ(outer.refs, 2u);
  ComPtr<IUnknown> controlling;
  gadget->QueryInterface(IID_PPV_ARGS(&controlling));
  EXPECT_EQ(controlling.Get(), static_cast<IUnknown*>(&outer));
  controlling.Reset();
  gadget.Reset();
  EXPECT_EQ(outer.refs, 1u);

  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
  outer.inner->Release();
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(GadgetDll, HostSitesActivatesAndTearsDownTheControl) {
  OleApartment apartment;
  const int threadsBefore = ThreadsOfThisProcess();
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  {
    TestContainer container;
    ComPtr<IUnknown> control;
    ASSERT_EQ(CreateGadget(dll, nullptr, IID_PPV_ARGS(&control)), S_OK);

    // The plug-in calls, in order, as the site is set.
    ASSERT_EQ(container.Embed(control.Get()), S_OK);
    const std::vector<std::wstring> hostCalls = {L"SetTitle QuorvaneRSS", L"SetDefaultSize 80 50", L"SetIcon"};
    EXPECT_EQ(container.Calls().calls, hostCalls);
    ASSERT_NE(container.Calls().icon.Get(), nullptr);
    SHORT type = 0;
    container.Calls().icon->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    OLE_HANDLE handle = 0;
    container.Calls().icon->get_Handle(&handle);
    BITMAP bitmap{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 32);

    // Settings ready, then in place with a window of its own.
    InitSettings(control.Get());
    ASSERT_EQ(container.Activate(), S_OK);
    EXPECT_EQ(container.Calls().Count(L"OnInPlaceActivate"), 1);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), container.Window());
    EXPECT_TRUE(IsWindowVisible(window));

    // The typing timer runs and each tick asks for the window to be redrawn.
    EXPECT_TRUE(container.PumpUntil(5000, [&] { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }));
    EXPECT_TRUE(container.PumpUntil(5000, [&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }));

    container.Close();
    EXPECT_EQ(container.Calls().Count(L"OnInPlaceDeactivate"), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // we still hold the control
  }
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
  EXPECT_TRUE(dll.Unload()) << "a thread still holds the module";
  EXPECT_LE(ThreadsOfThisProcess(), threadsBefore);
}

TEST(GadgetDll, ReleasedWhileAWaitSleepsTheModuleCanGoAtOnce) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  {
    ComPtr<IUnknown> control;
    ASSERT_EQ(CreateGadget(dll, nullptr, IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IQuorvaneRSSGadget> gadget;
    ASSERT_EQ(control.As(&gadget), S_OK);
    // Type the placeholder ("Connecting") to its end: the next tick starts
    // the ten-minute wait for the next screen.
    ASSERT_EQ(gadget->put_DelayBetweenFeeds(600), S_OK);
    for (int tick = 0; tick <= 10; ++tick) gadget->IncrementFeed();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
  EXPECT_TRUE(dll.Unload()) << "the wait thread still holds the module";
}

TEST(GadgetDll, WindowlessControlIsRedrawnThroughItsSite) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  SiteOptions options;
  options.windowless = true;
  TestContainer container(options);
  ComPtr<IUnknown> control;
  ASSERT_EQ(CreateGadget(dll, nullptr, IID_PPV_ARGS(&control)), S_OK);
  ASSERT_EQ(container.Embed(control.Get()), S_OK);
  InitSettings(control.Get());
  ASSERT_EQ(container.Activate(), S_OK);

  ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(control.As(&inPlace), S_OK);
  HWND window = nullptr;
  EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
  const int before = container.Calls().Count(L"GetDC");
  EXPECT_TRUE(container.PumpUntil(5000, [&] { return container.Calls().Count(L"GetDC") > before + 2; }));
  container.Close();
  inPlace.Reset();
  control.Reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

// Calls a member of `object` by name, as a script does.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* result, LONG index = -1) {
  DISPID id = 0;
  auto* names = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = index;
  DISPPARAMS params{&argument, nullptr, index >= 0 ? 1u : 0u, 0};
  VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

std::wstring TextByName(IDispatch* object, const wchar_t* name, LONG index) {
  VARIANT value;
  if (FAILED(CallByName(object, name, DISPATCH_PROPERTYGET, &value, index)) || value.vt != VT_BSTR) return L"<none>";
  UniqueBstr text = UniqueBstr::Adopt(value.bstrVal);
  return text.get() ? text.get() : L"";
}

// IQuorvaneRSSFeeds as an automation client sees it: a dual interface of
// its own in the type library, its members reached by name.
TEST(GadgetDll, FeedOutcomesAndHeadlineStepsAreReachedByNameThroughTheTypeLibrary) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  {
    TestContainer container;
    ComPtr<IUnknown> control;
    ASSERT_EQ(CreateGadget(dll, nullptr, IID_PPV_ARGS(&control)), S_OK);
    ASSERT_EQ(container.Embed(control.Get()), S_OK);
    InitSettings(control.Get());
    ComPtr<IDispatch> feeds;
    ASSERT_EQ(control->QueryInterface(IID_IQuorvaneRSSFeeds, reinterpret_cast<void**>(feeds.GetAddressOf())), S_OK);

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(feeds->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.GetAddressOf()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IQuorvaneRSSFeeds));
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attributes);

    VARIANT value;
    ASSERT_EQ(CallByName(feeds.Get(), L"FeedCount", DISPATCH_PROPERTYGET, &value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 1);
    EXPECT_EQ(TextByName(feeds.Get(), L"FeedUrl", 0), L"http://127.0.0.1:9/feed");
    // The closed port fails the first cycle at once.
    EXPECT_TRUE(container.PumpUntil(5000, [&] { return TextByName(feeds.Get(), L"FeedState", 0) == L"failed"; }));
    EXPECT_NE(TextByName(feeds.Get(), L"FailureReason", 0), L"");
    ASSERT_EQ(CallByName(feeds.Get(), L"LastSuccess", DISPATCH_PROPERTYGET, &value, 0), S_OK);
    EXPECT_EQ(value.vt, VT_DATE);
    EXPECT_EQ(value.date, 0);  // never
    EXPECT_TRUE(FAILED(CallByName(feeds.Get(), L"FeedUrl", DISPATCH_PROPERTYGET, &value, 1)));
    EXPECT_EQ(CallByName(feeds.Get(), L"NextHeadline", DISPATCH_METHOD, &value), S_OK);
    EXPECT_EQ(CallByName(feeds.Get(), L"PreviousHeadline", DISPATCH_METHOD, &value), S_OK);

    // The control's own IDispatch stays IQuorvaneRSSGadget's.
    ComPtr<IDispatch> gadget;
    ASSERT_EQ(control.As(&gadget), S_OK);
    EXPECT_TRUE(FAILED(CallByName(gadget.Get(), L"FeedCount", DISPATCH_PROPERTYGET, &value)));
    feeds.Reset();
    gadget.Reset();
    container.Close();
  }
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(GadgetDll, PluginCommandOneShowsTheAboutBox) {
  OleApartment apartment;
  GadgetDll dll;
  ASSERT_TRUE(dll.Loaded());
  TestContainer container;
  ComPtr<IUnknown> control;
  ASSERT_EQ(CreateGadget(dll, nullptr, IID_PPV_ARGS(&control)), S_OK);
  ASSERT_EQ(container.Embed(control.Get()), S_OK);
  ComPtr<IPluginCommand> command;
  ASSERT_EQ(control->QueryInterface(IID_IPluginCommand, reinterpret_cast<void**>(command.GetAddressOf())), S_OK);

  EXPECT_EQ(command->OnCommand(2), S_OK);
  EXPECT_EQ(container.Calls().Count(L"ShowAbout"), 0);
  EXPECT_EQ(command->OnCommand(1), S_OK);
  EXPECT_EQ(container.Calls().Count(L"ShowAbout"), 1);
  EXPECT_EQ(container.Calls().aboutText,
            L"QuorvaneRSS 1.0 Gadget\nThis gadget downloads RSS feeds from any Web sites and then shows them as a "
            L"quorvane.");
  EXPECT_NE(container.Calls().aboutPicture.Get(), nullptr);
  EXPECT_EQ(command->OnCommandAck(0), S_OK);
  EXPECT_EQ(command->OnCommandQuery(0), E_NOTIMPL);
  container.Close();
}

}  // namespace
}  // namespace quorvane::test
