// The gadget's settings through its COM interfaces: the properties by
// vtable and by name, persistence, the changed mark and the settings page.
#include <gtest/gtest.h>

#include <algorithm>

#include "GadgetDll.h"
#include "ProbedGadget.h"
#include "TestStream.h"
#include "settings/GadgetSettingsRecord.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

using Bytes = std::vector<unsigned char>;
using Urls = std::vector<std::u16string>;

void Append32(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

Bytes Layout(uint32_t version, std::u16string_view feeds, std::initializer_list<uint32_t> numbers) {
  Bytes bytes;
  Append32(bytes, version);
  Append32(bytes, static_cast<uint32_t>(2 * feeds.size() + 2));
  for (const char16_t c : feeds) {
    bytes.push_back(static_cast<unsigned char>(c));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  for (const uint32_t n : numbers) Append32(bytes, n);
  return bytes;
}

// The four properties as their getters give them.
struct Values {
  std::u16string feeds;
  int rate, delay, speed;
  bool operator==(const Values&) const = default;
  friend void PrintTo(const Values& v, std::ostream* os) {
    *os << "{" << std::string(v.feeds.begin(), v.feeds.end()) << ", " << v.rate << ", " << v.delay << ", "
        << v.speed << "}";
  }
};

class GadgetSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, apartment_.Result());
    gadget_ = ProbedGadget::Create(control_);
    ASSERT_TRUE(gadget_);
    ASSERT_EQ(S_OK, control_.As(&settings_));
    ASSERT_EQ(S_OK, control_.As(&persist_));
    ASSERT_EQ(S_OK, control_.As(&dispatch_));
  }
  void TearDown() override {
    settings_.Reset();
    persist_.Reset();
    dispatch_.Reset();
    control_.Reset();
    PumpMessages();
  }


  Values ByVtable() {
    Values values{};
    UniqueBstr feeds;
    EXPECT_EQ(S_OK, settings_->get_FeedURLs(feeds.out()));
    values.feeds = feeds.str();
    EXPECT_EQ(S_OK, settings_->get_FeedRefreshRate(&values.rate));
    EXPECT_EQ(S_OK, settings_->get_DelayBetweenFeeds(&values.delay));
    EXPECT_EQ(S_OK, settings_->get_SpeechSpeed(&values.speed));
    return values;
  }

  DISPID IdOf(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    EXPECT_EQ(S_OK, dispatch_->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id)) << name;
    return id;
  }

  HRESULT PutByName(const wchar_t* name, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return dispatch_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                             nullptr, nullptr);
  }
  HRESULT PutByName(const wchar_t* name, int value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return PutByName(name, v);
  }

  // A property got by name, as a script sees it.
  VARIANT GetByName(const wchar_t* name) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{};
    EXPECT_EQ(S_OK, dispatch_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                      &result, nullptr, nullptr));
    return result;
  }
  int IntByName(const wchar_t* name) {
    VARIANT v = GetByName(name);
    EXPECT_EQ(VT_I4, v.vt);
    return v.lVal;
  }
  std::u16string StringByName(const wchar_t* name) {
    VARIANT v = GetByName(name);
    EXPECT_EQ(VT_BSTR, v.vt);
    return UniqueBstr::Adopt(v.bstrVal).str();
  }
  Values ByName() {
    return {StringByName(L"FeedURLs"), IntByName(L"FeedRefreshRate"), IntByName(L"DelayBetweenFeeds"),
            IntByName(L"SpeechSpeed")};
  }

  Bytes SaveBytes(BOOL clearDirty = TRUE) {
    TestStream* stream = nullptr;
    ComPtr<IStream> holder = TestStream::Create({}, &stream);
    EXPECT_EQ(S_OK, persist_->Save(holder.Get(), clearDirty));
    return stream->bytes;
  }

  uint32_t FetcherIntervalMs() { return gadget_->Fetcher().RefreshIntervalMs(); }

  // Waits for the fetcher's new worker to ask for `urls`, in any order
  // (a few downloads run at once).
  bool FetcherAskedFor(Urls urls) {
    std::sort(urls.begin(), urls.end());
    const ULONGLONG end = GetTickCount64() + 3000;
    while (GetTickCount64() < end) {
      Urls asked = gadget_->fetches->Urls();
      std::sort(asked.begin(), asked.end());
      if (asked == urls) return true;
      Sleep(5);
    }
    ADD_FAILURE() << "fetched " << gadget_->fetches->Urls().size() << " URLs";
    return false;
  }

  ComPtr<IUnknown> control_;
  ProbedGadget* gadget_ = nullptr;
  ComPtr<IQuorvaneRSSGadget> settings_;
  ComPtr<IPersistStreamInit> persist_;
  ComPtr<IDispatch> dispatch_;
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
};

const Values kDefaults{kDefaultFeedUrl, 30, 7, 0};

TEST_F(GadgetSettingsTest, InitNewGivesTheDefaultsAndStartsTheDisplay) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  EXPECT_EQ(kDefaults, ByVtable());
  EXPECT_EQ(kDefaults, ByName());
  EXPECT_EQ(std::u16string::npos, ByVtable().feeds.find(u" URL "));
  EXPECT_EQ(S_OK, persist_->IsDirty());
  EXPECT_EQ(kDefaultFeedRefreshRateMs, static_cast<int>(FetcherIntervalMs()));

  EXPECT_TRUE(gadget_->timers.empty()) << "nothing starts before MSG_START";
  PumpMessages();
  EXPECT_EQ((std::vector<std::pair<UINT_PTR, UINT>>{{TIMER_TYPING, 80}, {TIMER_CURSOR, 700}}), gadget_->timers);
  FetcherAskedFor({kDefaultFeedUrl});
}

TEST_F(GadgetSettingsTest, ClosedControlStartsNoDownloadAgain) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  PumpMessages();
  ASSERT_TRUE(FetcherAskedFor({kDefaultFeedUrl}));
  ComPtr<IOleObject> ole;
  ASSERT_EQ(S_OK, control_.As(&ole));
  ASSERT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));

  // Whatever comes after Close, as a confused host might send it.
  EXPECT_EQ(S_OK, persist_->InitNew());
  EXPECT_EQ(S_OK, persist_->Load(TestStream::Create(Layout(0x710, u"http://127.0.0.1:9/b", {60'000, 0, 0})).Get()));
  EXPECT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/c").get()));
  EXPECT_EQ(S_OK, settings_->put_FeedRefreshRate(0));
  EXPECT_EQ((Values{u"http://127.0.0.1:9/c", 0, 0, 0}), ByVtable()) << "the settings still work";
  const ULONGLONG end = GetTickCount64() + 500;
  while (GetTickCount64() < end && gadget_->fetches->Urls().size() == 1) {
    PumpMessages();
    Sleep(10);
  }
  EXPECT_EQ(gadget_->fetches->Urls(), (Urls{kDefaultFeedUrl}));
}

TEST_F(GadgetSettingsTest, NumbersConvertUnitsAndTakeEffect) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ASSERT_EQ(S_OK, settings_->put_FeedRefreshRate(45));
  EXPECT_EQ(2'700'000u, FetcherIntervalMs());
  ASSERT_EQ(S_OK, settings_->put_DelayBetweenFeeds(3));
  ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(10));
  EXPECT_EQ((Values{kDefaultFeedUrl, 45, 3, 10}), ByVtable());
  ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(-10));
  EXPECT_EQ((std::vector<UINT>{30, 130}), gadget_->TypingPeriods());

  // By name, as a script would; a string argument is converted.
  ASSERT_EQ(S_OK, PutByName(L"FeedRefreshRate", 60));
  ASSERT_EQ(S_OK, PutByName(L"delaybetweenfeeds", 2));
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"4");
  ASSERT_EQ(S_OK, PutByName(L"SpeechSpeed", text));
  VariantClear(&text);
  EXPECT_EQ((Values{kDefaultFeedUrl, 60, 2, 4}), ByName());
  EXPECT_EQ(3'600'000u, FetcherIntervalMs());
  EXPECT_EQ(60u, gadget_->TypingPeriods().back());
}

// Every value the settings page can send works; larger ones saturate where
// milliseconds would overflow, a negative wait between screens becomes 0
// and a negative refresh interval the default (never "as often as
// possible"), and any speed gives a typing period within the timer range.
TEST_F(GadgetSettingsTest, OutOfRangeValuesStayUsable) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ASSERT_EQ(S_OK, settings_->put_FeedRefreshRate(2147483647));
  ASSERT_EQ(S_OK, settings_->put_DelayBetweenFeeds(99'999'999));
  EXPECT_EQ((Values{kDefaultFeedUrl, 35'791, 2'147'483, 0}), ByVtable());
  EXPECT_EQ(2'147'460'000u, FetcherIntervalMs());

  ASSERT_EQ(S_OK, PutByName(L"FeedRefreshRate", -5));
  ASSERT_EQ(S_OK, PutByName(L"DelayBetweenFeeds", -1));
  EXPECT_EQ((Values{kDefaultFeedUrl, 30, 0, 0}), ByName());
  EXPECT_EQ(1'800'000u, FetcherIntervalMs());

  for (const int speed : {14, 15, 16, 2147483647}) ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(speed));
  ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(-2147483647 - 1));
  EXPECT_EQ((std::vector<UINT>{10, 10, 10, 10, 0x7FFFFFFF}), gadget_->TypingPeriods());
  EXPECT_EQ(-2147483647 - 1, ByVtable().speed) << "the step reads back as put";
}

TEST_F(GadgetSettingsTest, FeedListIsStoredAsGivenAndRestartsTheFetcher) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  gadget_->ShowItem({u"http://a/1", u"T", u"text", u"F", u"12:00"});
  ASSERT_FALSE(gadget_->Machine().NeedNewScreen());

  const std::u16string list = u"http://127.0.0.1:9/a URL  http://127.0.0.1:9/b  URL ";
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(list).get()));
  EXPECT_EQ(list, ByVtable().feeds);
  EXPECT_TRUE(gadget_->Machine().NeedNewScreen());
  FetcherAskedFor({u"http://127.0.0.1:9/a", u" http://127.0.0.1:9/b "});

  // Empty and missing values mean the default feed, by vtable and by name.
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"").get()));
  EXPECT_EQ(kDefaultFeedUrl, ByVtable().feeds);
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(list).get()));
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(nullptr));
  EXPECT_EQ(kDefaultFeedUrl, ByVtable().feeds);
  VARIANT empty;
  empty.vt = VT_BSTR;
  empty.bstrVal = nullptr;
  ASSERT_EQ(S_OK, PutByName(L"FeedURLs", empty));
  EXPECT_EQ(kDefaultFeedUrl, StringByName(L"FeedURLs"));

  // The stored list is a zero-terminated string.
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(std::u16string(u"http://x/\0y", 11)).get()));
  EXPECT_EQ(u"http://x/", ByVtable().feeds);
}

TEST_F(GadgetSettingsTest, GettersWithoutAnOutPointerSucceed) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  EXPECT_EQ(S_OK, settings_->get_FeedURLs(nullptr));
  EXPECT_EQ(S_OK, settings_->get_FeedRefreshRate(nullptr));
  EXPECT_EQ(S_OK, settings_->get_DelayBetweenFeeds(nullptr));
  EXPECT_EQ(S_OK, settings_->get_SpeechSpeed(nullptr));
}

TEST_F(GadgetSettingsTest, SaveAfterInitNewWritesTheDefaultsExactly) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ULARGE_INTEGER size{};
  ASSERT_EQ(S_OK, persist_->GetSizeMax(&size));
  const Bytes saved = SaveBytes();
  EXPECT_EQ(Layout(0x710, kDefaultFeedUrl, {1'800'000, 7'000, 0}), saved);
  EXPECT_EQ(saved.size(), size.QuadPart);

  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/a URL ").get()));
  ASSERT_EQ(S_OK, persist_->GetSizeMax(&size));
  EXPECT_EQ(SaveBytes().size(), size.QuadPart) << "the exact size of the next save";
  EXPECT_EQ(E_POINTER, persist_->GetSizeMax(nullptr));
}

TEST_F(GadgetSettingsTest, SavedStateLoadsIntoANewControl) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/\x00e9 URL ").get()));
  ASSERT_EQ(S_OK, settings_->put_FeedRefreshRate(45));
  ASSERT_EQ(S_OK, settings_->put_DelayBetweenFeeds(3));
  ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(-4));
  const Values saved = ByVtable();
  const Bytes bytes = SaveBytes();

  ComPtr<IUnknown> otherControl;
  ProbedGadget* other = ProbedGadget::Create(otherControl);
  ComPtr<IPersistStreamInit> otherPersist;
  ComPtr<IQuorvaneRSSGadget> otherSettings;
  ASSERT_EQ(S_OK, otherControl.As(&otherPersist));
  ASSERT_EQ(S_OK, otherControl.As(&otherSettings));
  ASSERT_EQ(S_OK, otherPersist->Load(TestStream::Create(bytes).Get()));
  EXPECT_EQ(S_FALSE, otherPersist->IsDirty());
  control_ = otherControl;  // read it through the fixture's helpers
  gadget_ = other;
  settings_ = otherSettings;
  persist_ = otherPersist;
  ASSERT_EQ(S_OK, control_.As(&dispatch_));
  EXPECT_EQ(saved, ByVtable());
  EXPECT_EQ(saved, ByName());
  EXPECT_EQ(2'700'000u, FetcherIntervalMs());
  PumpMessages();
  EXPECT_EQ((std::vector<UINT>{100}), other->TypingPeriods()) << "Load starts the display";
  FetcherAskedFor({u"http://127.0.0.1:9/\x00e9"});
}

TEST_F(GadgetSettingsTest, ChangedMarkFollowsPutsLoadsAndSaves) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  EXPECT_EQ(S_OK, persist_->IsDirty());
  SaveBytes(FALSE);
  EXPECT_EQ(S_OK, persist_->IsDirty()) << "a save that keeps the mark";
  SaveBytes(TRUE);
  EXPECT_EQ(S_FALSE, persist_->IsDirty());

  const std::function<void()> puts[] = {
      [&] { settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/").get()); },
      [&] { settings_->put_FeedRefreshRate(5); },
      [&] { settings_->put_DelayBetweenFeeds(5); },
      [&] { settings_->put_SpeechSpeed(5); },
  };
  for (const auto& put : puts) {
    const Bytes bytes = SaveBytes(TRUE);
    ASSERT_EQ(S_OK, persist_->Load(TestStream::Create(bytes).Get()));
    ASSERT_EQ(S_FALSE, persist_->IsDirty());
    put();
    EXPECT_EQ(S_OK, persist_->IsDirty());
  }

  // A failed save reports the stream's status and keeps the mark.
  TestStream* failing = nullptr;
  ComPtr<IStream> holder = TestStream::Create({}, &failing);
  failing->failWriteAt = 10;
  EXPECT_EQ(STG_E_WRITEFAULT, persist_->Save(holder.Get(), TRUE));
  EXPECT_EQ(S_OK, persist_->IsDirty());
  EXPECT_EQ(E_INVALIDARG, persist_->Save(nullptr, TRUE));
}

// Load never fails: whatever it cannot read leaves the default feed, the
// numbers it had or read, and a display that starts.
TEST_F(GadgetSettingsTest, UnreadableStreamsLoadTheDefaultFeedAndStillStart) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ASSERT_EQ(S_OK, settings_->put_FeedRefreshRate(45));
  ASSERT_EQ(S_OK, settings_->put_DelayBetweenFeeds(3));
  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/").get()));
  const Values before{kDefaultFeedUrl, 45, 3, 0};

  ASSERT_EQ(S_OK, persist_->Load(TestStream::Create(Layout(0x711, u"http://127.0.0.1:9/new", {60'000, 0, 5})).Get()));
  EXPECT_EQ(before, ByVtable()) << "too new";
  EXPECT_EQ(S_OK, persist_->IsDirty()) << "the mark is left as it was";

  ASSERT_EQ(S_OK, settings_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:9/").get()));
  TestStream* failing = nullptr;
  ComPtr<IStream> holder = TestStream::Create(Layout(0x710, u"http://127.0.0.1:9/new", {60'000, 0, 5}), &failing);
  failing->failReadAt = 12;  // inside the string
  ASSERT_EQ(S_OK, persist_->Load(holder.Get()));
  EXPECT_EQ(before, ByVtable()) << "failed string read";
  EXPECT_EQ(S_OK, persist_->IsDirty());

  ASSERT_EQ(S_OK, persist_->Load(nullptr));
  EXPECT_EQ(before, ByVtable()) << "null stream";

  // A failed load after a clean state leaves it clean.
  SaveBytes(TRUE);
  ASSERT_EQ(S_OK, persist_->Load(TestStream::Create({}).Get()));
  EXPECT_EQ(S_FALSE, persist_->IsDirty());

  gadget_->timers.clear();
  PumpMessages();
  EXPECT_FALSE(gadget_->TypingPeriods().empty()) << "every load starts the display";
  EXPECT_EQ(2'700'000u, FetcherIntervalMs());
}

TEST_F(GadgetSettingsTest, StreamEndingAfterTheRefreshIntervalKeepsTheRest) {
  ASSERT_EQ(S_OK, persist_->InitNew());
  ASSERT_EQ(S_OK, settings_->put_DelayBetweenFeeds(3));
  ASSERT_EQ(S_OK, settings_->put_SpeechSpeed(2));
  Bytes bytes = Layout(0x710, u"http://127.0.0.1:9/x", {120'000});
  ASSERT_EQ(S_OK, persist_->Load(TestStream::Create(bytes).Get()));
  EXPECT_EQ((Values{u"http://127.0.0.1:9/x", 2, 3, 2}), ByVtable());
  EXPECT_EQ(120'000u, FetcherIntervalMs());
  EXPECT_EQ(S_FALSE, persist_->IsDirty());
}

TEST_F(GadgetSettingsTest, ClassIdAndSettingsPage) {
  CLSID clsid{};
  ASSERT_EQ(S_OK, persist_->GetClassID(&clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_QuorvaneRSSGadget, clsid));
  ComPtr<IPersist> persist;
  ASSERT_EQ(S_OK, control_.As(&persist));
  ASSERT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_QuorvaneRSSGadget, clsid));

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(S_OK, control_.As(&pages));
  CAUUID list{};
  ASSERT_EQ(S_OK, pages->GetPages(&list));
  ASSERT_EQ(1u, list.cElems);
  const CLSID page = {0x4996C509, 0xE292, 0x48A6, {0xBA, 0x58, 0xA3, 0xD2, 0x39, 0x26, 0x02, 0x0D}};
  EXPECT_TRUE(IsEqualCLSID(page, list.pElems[0]));
  CoTaskMemFree(list.pElems);
}

TEST_F(GadgetSettingsTest, DispatchFollowsTheTypeLibrary) {
  const std::pair<const wchar_t*, DISPID> members[] = {
      {L"FeedURLs", 1},      {L"FeedRefreshRate", 2}, {L"DelayBetweenFeeds", 3}, {L"SpeechSpeed", 4},
      {L"IncrementFeed", 7}, {L"CursorBlink", 8},     {L"AwakeFeed", 9},         {L"SPEECHSPEED", 4},
  };
  for (const auto& [name, id] : members) EXPECT_EQ(id, IdOf(name)) << name;
  auto* unknown = const_cast<LPOLESTR>(L"Volume");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch_->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id));

  UINT count = 0;
  ASSERT_EQ(S_OK, dispatch_->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualIID(IID_IQuorvaneRSSGadget, attributes->guid));
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
  EXPECT_EQ(DISP_E_BADINDEX, dispatch_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));

  DISPPARAMS none{};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, dispatch_->Invoke(4, IID_IUnknown, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                                       &none, nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, dispatch_->Invoke(8, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                                    nullptr));
  EXPECT_TRUE(gadget_->Machine().CursorOn()) << "CursorBlink by DISPID";
}

// The shipped module: a script client creates the control from the DLL and
// reads and sets its settings by name.
TEST(GadgetSettingsDllTest, ScriptClientReadsAndSetsSettingsByName) {
  OleApartment apartment;
  ASSERT_EQ(S_OK, apartment.Result());
  {
    GadgetDll dll;
    ASSERT_TRUE(dll.Loaded()) << std::string(GadgetDll::Path().begin(), GadgetDll::Path().end());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, dll.GetClassObject(CLSID_QuorvaneRSSGadget, IID_PPV_ARGS(&factory)));
    ComPtr<IDispatch> gadget;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&gadget)));
    const auto id = [&](const wchar_t* name) {
      DISPID found = DISPID_UNKNOWN;
      auto* names = const_cast<LPOLESTR>(name);
      EXPECT_EQ(S_OK, gadget->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &found));
      return found;
    };
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = 45;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    ASSERT_EQ(S_OK, gadget->Invoke(id(L"FeedRefreshRate"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put,
                                   nullptr, nullptr, nullptr));
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{};
    ASSERT_EQ(S_OK, gadget->Invoke(id(L"FeedRefreshRate"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                   &none, &result, nullptr, nullptr));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(45, result.lVal);
    ASSERT_EQ(S_OK, gadget->Invoke(id(L"FeedURLs"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                   &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_EQ(kDefaultFeedUrl, UniqueBstr::Adopt(result.bstrVal).str());
  }
}

}  // namespace
}  // namespace quorvane::test
