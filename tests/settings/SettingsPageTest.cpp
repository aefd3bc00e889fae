// The settings page driven the way a property frame drives it, on a fake
// gadget and a fake page site.
#include "settings/SettingsPage.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "settings/SettingsPageResources.h"
#include "FakeGadget.h"
#include "FakePageSite.h"
#include "MessageBoxWatcher.h"

namespace quorvane::test {
namespace {

using Puts = std::vector<std::u16string>;

// Fakes are owned by the COM reference held in `owner`.
template <class T>
T* NewFake(ComPtr<IUnknown>& owner) {
  auto* object = new T(nullptr);
  owner = object->InnerUnknown();
  return object;
}

class SettingsPageTest : public testing::Test {
 protected:
  void SetUp() override {
    frame_ = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 500, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame_);
    gadget_ = NewFake<FakeGadget>(gadgetUnknown_);
    site_ = NewFake<FakePageSite>(siteUnknown_);
    ASSERT_EQ(S_OK, CreateComObject<QuorvaneRSSPropPage>(nullptr, IID_IPropertyPage,
                                                         reinterpret_cast<void**>(page_.GetAddressOf())));
  }

  void TearDown() override {
    if (page_) {
      if (dialog_) page_->Deactivate();
      page_->SetObjects(0, nullptr);
      page_->SetPageSite(nullptr);
    }
    page_.Reset();
    DestroyWindow(frame_);
  }

  // Gives the page the site and the objects (the fake gadget by default)
  // and activates it; Opening runs.
  void Open(std::vector<IUnknown*> objects = {}) {
    if (objects.empty()) objects.push_back(gadgetUnknown_.Get());
    ComPtr<IPropertyPageSite> site;
    ASSERT_EQ(S_OK, siteUnknown_.As(&site));
    ASSERT_EQ(S_OK, page_->SetPageSite(site.Get()));
    ASSERT_EQ(S_OK, page_->SetObjects(static_cast<ULONG>(objects.size()), objects.data()));
    Activate();
  }

  void Activate() {
    RECT rect{10, 10, 400, 400};
    ASSERT_EQ(S_OK, page_->Activate(frame_, &rect, FALSE));
    ASSERT_EQ(S_OK, page_->Show(SW_SHOW));
    dialog_ = GetWindow(frame_, GW_CHILD);
    ASSERT_TRUE(dialog_);
  }

  void Deactivate() {
    ASSERT_EQ(S_OK, page_->Deactivate());
    dialog_ = nullptr;
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  std::wstring Text(int id) const {
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog_, id, text, ARRAYSIZE(text));
    return text;
  }

  std::vector<std::wstring> Feeds() const {
    std::vector<std::wstring> feeds;
    const LRESULT count = SendMessageW(Item(IDC_FEED_LIST), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[512] = L"";
      SendMessageW(Item(IDC_FEED_LIST), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      feeds.push_back(text);
    }
    return feeds;
  }

  void Click(int id) { SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(Item(id))); }

  void AddFeed(const wchar_t* text) {
    SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, text);
    Click(IDC_ADD_FEED);
  }

  SeenMessageBox ClickExpectingMessage(int id) {
    return WatchMessageBox(L"QuorvaneRSS", [&] { Click(id); });
  }

  void ExpectMessage(const SeenMessageBox& box, const wchar_t* text) {
    ASSERT_TRUE(box.found) << "no message box";
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(GetAncestor(dialog_, GA_ROOT), box.owner);
    EXPECT_EQ(std::vector<std::wstring>{L"OK"}, box.buttons);
    EXPECT_FALSE(box.icon);
  }

  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
  FakeGadget* gadget_ = nullptr;
  ComPtr<IUnknown> gadgetUnknown_;
  FakePageSite* site_ = nullptr;
  ComPtr<IUnknown> siteUnknown_;
  ComPtr<IPropertyPage> page_;
};

TEST_F(SettingsPageTest, OpeningShowsTheDefaultSettingsAndLeavesThePageClean) {
  Open();
  EXPECT_EQ(std::vector<std::wstring>{L"http://news.example/feed?output=rss"}, Feeds());
  EXPECT_EQ(L"30", Text(IDC_REFRESH_MINUTES));
  EXPECT_EQ(L"0", Text(IDC_WAIT_SECONDS));
  HWND speed = Item(IDC_SPEED);
  EXPECT_EQ(0, SendMessageW(speed, TBM_GETPOS, 0, 0));
  EXPECT_EQ(-10, SendMessageW(speed, TBM_GETRANGEMIN, 0, 0));
  EXPECT_EQ(10, SendMessageW(speed, TBM_GETRANGEMAX, 0, 0));
  EXPECT_EQ(S_FALSE, page_->IsPageDirty());
  // Filling the refresh field reports a change that Opening then takes back.
  EXPECT_EQ((std::vector<DWORD>{PROPPAGESTATUS_DIRTY, PROPPAGESTATUS_CLEAN}), site_->statuses);
  EXPECT_TRUE(gadget_->puts.empty());
}

TEST_F(SettingsPageTest, OpeningSplitsTheFeedListAndShowsTheSpeed) {
  gadget_->feedUrls = u"a.example URL  URL b.example URL ";
  gadget_->refreshMinutes = 45;
  gadget_->delaySeconds = 3;
  gadget_->speed = -7;
  Open();
  EXPECT_EQ((std::vector<std::wstring>{L"a.example", L" URL b.example URL "}), Feeds()) << "a list that begins with the separator is one URL";
  EXPECT_EQ(L"45", Text(IDC_REFRESH_MINUTES));
  EXPECT_EQ(L"3", Text(IDC_WAIT_SECONDS));
  EXPECT_EQ(-7, SendMessageW(Item(IDC_SPEED), TBM_GETPOS, 0, 0));
}

TEST_F(SettingsPageTest, AddRefusesEmptyAndInvalidUrls) {
  Open();
  SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, L" \t ");
  ExpectMessage(ClickExpectingMessage(IDC_ADD_FEED), L"Please enter RSS feed URL to add");
  EXPECT_EQ(Item(IDC_NEW_FEED_URL), GetFocus());

  for (const wchar_t* invalid : {L" a. ", L"http://localhost/rss"}) {
    SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, invalid);
    ExpectMessage(ClickExpectingMessage(IDC_ADD_FEED), L"Please enter valid RSS feed URL to add");
    EXPECT_EQ(invalid, Text(IDC_NEW_FEED_URL)) << "the field keeps its text";
    EXPECT_EQ(Item(IDC_NEW_FEED_URL), GetFocus());
  }
  // What the gadget could never read is named, with the reason.
  const struct {
    const wchar_t* typed;
    const wchar_t* message;
  } refused[] = {
      {L"not a url.", L"\"not a url.\" is not a feed address: it contains white space."},
      {L"ftp://example.org/rss.xml",
       L"\"ftp://example.org/rss.xml\" is not a feed address: only http and https addresses can be read, not ftp."},
  };
  for (const auto& [typed, message] : refused) {
    SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, typed);
    ExpectMessage(ClickExpectingMessage(IDC_ADD_FEED), message);
    EXPECT_EQ(typed, Text(IDC_NEW_FEED_URL));
  }
  EXPECT_EQ(1u, Feeds().size());
  EXPECT_EQ(S_FALSE, page_->IsPageDirty());
}

TEST_F(SettingsPageTest, AddAppendsTheTrimmedUrlAndAllowsDuplicates) {
  Open();
  site_->statuses.clear();
  AddFeed(L" \thttp://b.example/rss  ");
  EXPECT_EQ(L"", Text(IDC_NEW_FEED_URL));
  AddFeed(L"a.b");
  AddFeed(L"http://a.b");
  AddFeed(L"feed://c.example:8080/x");
  EXPECT_EQ((std::vector<std::wstring>{L"http://news.example/feed?output=rss", L"http://b.example/rss", L"http://a.b",
                                       L"http://a.b", L"http://c.example:8080/x"}),
            Feeds()) << "completed as an address bar does";
  EXPECT_EQ(S_OK, page_->IsPageDirty());
  EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, site_->statuses) << "reported once";
}

TEST_F(SettingsPageTest, RemoveDeletesTheCurrentItemOrAsksForOne) {
  gadget_->feedUrls = u"a.example URL b.example URL c.example URL ";
  Open();
  SendMessageW(Item(IDC_FEED_LIST), LB_SETCARETINDEX, 1, FALSE);
  Click(IDC_REMOVE_FEED);
  EXPECT_EQ((std::vector<std::wstring>{L"a.example", L"c.example"}), Feeds());
  EXPECT_EQ(S_OK, page_->IsPageDirty());

  Click(IDC_REMOVE_FEED);
  Click(IDC_REMOVE_FEED);
  ASSERT_TRUE(Feeds().empty());
  ExpectMessage(ClickExpectingMessage(IDC_REMOVE_FEED), L"Please select RSS feed URL to remove");
  EXPECT_EQ(Item(IDC_FEED_LIST), GetFocus());
}

TEST_F(SettingsPageTest, ApplyWithoutFeedChangesPutsOnlyTheNumbersAndLeavesThePageChanged) {
  Open();
  site_->statuses.clear();
  SendMessageW(Item(IDC_SPEED), TBM_SETPOS, TRUE, 4);
  SetDlgItemTextW(dialog_, IDC_WAIT_SECONDS, L"12");
  ASSERT_EQ(S_OK, page_->Apply());
  EXPECT_EQ((Puts{u"FeedRefreshRate=30", u"DelayBetweenFeeds=12", u"SpeechSpeed=4"}), gadget_->puts);
  EXPECT_EQ(S_OK, page_->IsPageDirty());
  EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, site_->statuses);
}

TEST_F(SettingsPageTest, ApplyJoinsTheFeedListOnceFeedsChanged) {
  gadget_->feedUrls = u"a.example URL ";
  Open();
  AddFeed(L"b.example");
  ASSERT_EQ(S_OK, page_->Apply());
  EXPECT_EQ((Puts{u"FeedURLs=a.example URL http://b.example URL ", u"FeedRefreshRate=30", u"DelayBetweenFeeds=0",
                  u"SpeechSpeed=0"}),
            gadget_->puts);
}

TEST_F(SettingsPageTest, RemovingEveryFeedAppliesAnEmptyListAndAnEmptyFieldAppliesZero) {
  Open();
  Click(IDC_REMOVE_FEED);
  SetDlgItemTextW(dialog_, IDC_REFRESH_MINUTES, L"");
  ASSERT_EQ(S_OK, page_->Apply());
  EXPECT_EQ((Puts{u"FeedURLs=", u"FeedRefreshRate=0", u"DelayBetweenFeeds=0", u"SpeechSpeed=0"}), gadget_->puts);
}

TEST_F(SettingsPageTest, ApplySkipsObjectsWithoutTheGadgetInterface) {
  ComPtr<IUnknown> other;
  ASSERT_EQ(S_OK, CreateComObject<FakePageSite>(nullptr, IID_IUnknown, reinterpret_cast<void**>(other.GetAddressOf())));
  ComPtr<IUnknown> secondUnknown;
  auto* second = NewFake<FakeGadget>(secondUnknown);
  Open({gadgetUnknown_.Get(), other.Get(), secondUnknown.Get()});
  SetDlgItemTextW(dialog_, IDC_REFRESH_MINUTES, L"5");
  ASSERT_EQ(S_OK, page_->Apply());
  const Puts expected{u"FeedRefreshRate=5", u"DelayBetweenFeeds=0", u"SpeechSpeed=0"};
  EXPECT_EQ(expected, gadget_->puts);
  EXPECT_EQ(expected, second->puts);
}

TEST_F(SettingsPageTest, OpeningOnAnObjectWithoutTheGadgetInterfaceKeepsTheTemplateState) {
  ComPtr<IUnknown> other;
  ASSERT_EQ(S_OK, CreateComObject<FakePageSite>(nullptr, IID_IUnknown, reinterpret_cast<void**>(other.GetAddressOf())));
  Open({other.Get()});
  EXPECT_TRUE(Feeds().empty());
  EXPECT_EQ(L"", Text(IDC_REFRESH_MINUTES));
  EXPECT_EQ(S_FALSE, page_->IsPageDirty());
}

TEST_F(SettingsPageTest, ReactivationReloadsTheObjectButRemembersThatFeedsChanged) {
  Open();
  AddFeed(L"b.example");
  Deactivate();
  EXPECT_FALSE(GetWindow(frame_, GW_CHILD));
  Activate();
  EXPECT_EQ(std::vector<std::wstring>{L"http://news.example/feed?output=rss"}, Feeds());
  ASSERT_EQ(S_OK, page_->Apply());
  ASSERT_FALSE(gadget_->puts.empty());
  EXPECT_EQ(u"FeedURLs=http://news.example/feed?output=rss URL ", gadget_->puts.front());
}

TEST_F(SettingsPageTest, PageInfoGivesTheTitleAndTheDialogSize) {
  Open();
  PROPPAGEINFO info{};
  ASSERT_EQ(S_OK, page_->GetPageInfo(&info));
  EXPECT_STREQ(L"QuorvaneRSS Settings", info.pszTitle);
  EXPECT_EQ(nullptr, info.pszHelpFile);
  EXPECT_EQ(nullptr, info.pszDocString);
  RECT units{0, 0, 229, 193};
  MapDialogRect(dialog_, &units);
  EXPECT_EQ(units.right, info.size.cx);
  EXPECT_EQ(units.bottom, info.size.cy);
  CoTaskMemFree(info.pszTitle);
}

TEST_F(SettingsPageTest, OneSiteAtATimeAndNoApplyWithoutTheDialog) {
  ComPtr<IPropertyPageSite> site;
  ASSERT_EQ(S_OK, siteUnknown_.As(&site));
  ASSERT_EQ(S_OK, page_->SetPageSite(site.Get()));
  EXPECT_EQ(E_UNEXPECTED, page_->SetPageSite(site.Get()));
  IUnknown* objects[] = {gadgetUnknown_.Get()};
  ASSERT_EQ(S_OK, page_->SetObjects(1, objects));
  // Reading the absent fields as zeros would overwrite the settings.
  EXPECT_EQ(E_UNEXPECTED, page_->Apply());
  EXPECT_TRUE(gadget_->puts.empty());
}

TEST_F(SettingsPageTest, TabMovesThroughTheFieldsInTemplateOrder) {
  Open();
  SetFocus(Item(IDC_REFRESH_MINUTES));
  MSG tab{Item(IDC_REFRESH_MINUTES), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_EQ(S_OK, page_->TranslateAccelerator(&tab));
  EXPECT_EQ(Item(IDC_NEW_FEED_URL), GetFocus());
  MSG paint{dialog_, WM_PAINT, 0, 0, 0, {}};
  EXPECT_EQ(S_FALSE, page_->TranslateAccelerator(&paint));
}

// The template, control by control, in tab order: what the dialog manager
// made of the resource.
TEST_F(SettingsPageTest, DialogMatchesItsLayout) {
  struct Expected {
    int id;
    const wchar_t* kind;
    const wchar_t* text;
    RECT units;  // x, y, width, height
    LONG styles;
  };
  constexpr LONG kStatic = 0xFFFF;
  const Expected controls[] = {
      {IDC_REFRESH_MINUTES, L"Edit", L"30", {84, 17, 37, 13}, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL},
      {IDC_NEW_FEED_URL, L"Edit", L"", {10, 46, 154, 14}, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
      {IDC_ADD_FEED, L"Button", L"&Add", {172, 46, 50, 14}, WS_TABSTOP | BS_DEFPUSHBUTTON},
      // WS_VSCROLL comes and goes with the scroll bar, so it is not checked.
      {IDC_FEED_LIST, L"ListBox", L"", {10, 65, 153, 55},
       WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL},
      {IDC_REMOVE_FEED, L"Button", L" &Remove", {172, 65, 50, 14}, WS_TABSTOP},
      {IDC_SPEED, L"msctls_trackbar32", L"", {38, 147, 181, 20}, WS_TABSTOP | TBS_AUTOTICKS | TBS_TOP | TBS_TOOLTIPS},
      {IDC_WAIT_SECONDS, L"Edit", L"0", {44, 172, 37, 13}, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL},
      {kStatic, L"Static", L"Reload feeds every ", {8, 20, 65, 8}, SS_RIGHT},
      {kStatic, L"Static", L"minutes", {126, 20, 25, 8}, SS_LEFT},
      {kStatic, L"Button", L"RSS", {0, 0, 229, 131}, BS_GROUPBOX},
      {kStatic, L"Static", L"Feeds to subscribe:", {10, 35, 91, 8}, SS_LEFT},
      {kStatic, L"Button", L"Appearance", {0, 133, 229, 60}, BS_GROUPBOX},
      {kStatic, L"Static", L"Speed:", {10, 154, 25, 8}, SS_LEFT},
      {kStatic, L"Static", L"Wait ", {13, 174, 18, 8}, SS_RIGHT},
      {kStatic, L"Static", L"seconds before starting next screen", {84, 174, 113, 8}, SS_LEFT},
  };
  Open();
  HWND child = GetWindow(dialog_, GW_CHILD);
  for (const Expected& control : controls) {
    ASSERT_TRUE(child) << "missing control " << control.id;
    SCOPED_TRACE(control.text);
    EXPECT_EQ(control.id, LOWORD(GetDlgCtrlID(child)));
    wchar_t kind[64] = L"", text[128] = L"";
    GetClassNameW(child, kind, ARRAYSIZE(kind));
    GetWindowTextW(child, text, ARRAYSIZE(text));
    EXPECT_EQ(0, lstrcmpiW(control.kind, kind)) << kind;
    if (control.id != IDC_SPEED) {
      EXPECT_STREQ(control.text, text);
    }
    LONG style = GetWindowLongW(child, GWL_STYLE);
    // The dialog manager draws a bordered edit or list box with a sunken
    // client edge instead.
    if (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) style |= WS_BORDER;
    EXPECT_EQ(control.styles, style & control.styles) << std::hex << style;
    if (control.id == IDC_FEED_LIST) {
      EXPECT_FALSE(style & LBS_SORT);
    }
    // Position and size are converted separately, as the dialog manager does.
    RECT expected = control.units;
    MapDialogRect(dialog_, &expected);
    expected.right += expected.left;
    expected.bottom += expected.top;
    RECT actual;
    GetWindowRect(child, &actual);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    if (control.id == IDC_FEED_LIST) {
      // Shrunk from the template's height to the rows that fit whole.
      RECT client;
      GetClientRect(child, &client);
      const LRESULT row = SendMessageW(child, LB_GETITEMHEIGHT, 0, 0);
      ASSERT_GT(row, 0);
      EXPECT_EQ(0, client.bottom % row) << "a row cut at the bottom";
      EXPECT_LE(actual.bottom, expected.bottom);
      EXPECT_GT(actual.bottom + row, expected.bottom);
    } else {
      EXPECT_EQ(expected.bottom, actual.bottom);
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_FALSE(child) << "more controls than expected";
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_STREQ(L"MS Sans Serif", font.lfFaceName);
  EXPECT_EQ(0, GetWindowLongW(dialog_, GWL_STYLE) & WS_CAPTION);
}

}  // namespace
}  // namespace quorvane::test
