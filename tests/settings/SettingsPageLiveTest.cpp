// The settings page of the built module editing a live gadget of the same
// module, both made by the module's class factories.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include "FakePageSite.h"
#include "GadgetDll.h"
#include "QuorvaneRSS_h.h"
#include "win/com/ComPtr.h"
#include "settings/SettingsPageResources.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

template <class T>
HRESULT CreateFromModule(const GadgetDll& dll, REFCLSID clsid, REFIID iid, ComPtr<T>& out) {
  ComPtr<IClassFactory> factory;
  HRESULT hr = dll.GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}

std::u16string FeedUrls(IQuorvaneRSSGadget* gadget) {
  UniqueBstr value;
  gadget->get_FeedURLs(value.out());
  return value.str();
}

class SettingsPageLiveTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, apartment_.Result());
    ASSERT_TRUE(dll_.Loaded());
    frame_ = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 500, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_EQ(S_OK, CreateFromModule(dll_, CLSID_QuorvaneRSSGadget, IID_IQuorvaneRSSGadget, gadget_));
    ASSERT_EQ(S_OK, CreateFromModule(dll_, CLSID_QuorvaneRSSPropPage, IID_IPropertyPage, page_));
    auto* site = new FakePageSite(nullptr);
    siteUnknown_ = site->InnerUnknown();
    ComPtr<IPropertyPageSite> pageSite;
    ASSERT_EQ(S_OK, siteUnknown_.As(&pageSite));
    ASSERT_EQ(S_OK, page_->SetPageSite(pageSite.Get()));
    IUnknown* objects[] = {gadget_.Get()};
    ASSERT_EQ(S_OK, page_->SetObjects(1, objects));
  }

  void TearDown() override {
    if (dialog_) page_->Deactivate();
    if (page_) {
      page_->SetObjects(0, nullptr);
      page_->SetPageSite(nullptr);
    }
    page_.Reset();
    gadget_.Reset();
    DestroyWindow(frame_);
  }

  void Activate() {
    RECT rect{0, 0, 400, 400};
    ASSERT_EQ(S_OK, page_->Activate(frame_, &rect, FALSE));
    dialog_ = GetWindow(frame_, GW_CHILD);
    ASSERT_TRUE(dialog_);
  }

  void Deactivate() {
    ASSERT_EQ(S_OK, page_->Deactivate());
    dialog_ = nullptr;
  }

  void Click(int id) { SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog_, id))); }

  LRESULT FeedCount() const { return SendDlgItemMessageW(dialog_, IDC_FEED_LIST, LB_GETCOUNT, 0, 0); }

  std::u16string Feed(int index) const {
    wchar_t text[512] = L"";
    SendDlgItemMessageW(dialog_, IDC_FEED_LIST, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return reinterpret_cast<const char16_t*>(text);
  }

  GadgetDll dll_;
  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
  ComPtr<IQuorvaneRSSGadget> gadget_;
  ComPtr<IPropertyPage> page_;
  ComPtr<IUnknown> siteUnknown_;
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
};

TEST_F(SettingsPageLiveTest, EditsTheGadgetsSettings) {
  const std::u16string defaultUrl = FeedUrls(gadget_.Get());
  Activate();
  ASSERT_EQ(1, FeedCount());
  EXPECT_EQ(defaultUrl, Feed(0));
  EXPECT_EQ(30u, GetDlgItemInt(dialog_, IDC_REFRESH_MINUTES, nullptr, FALSE));
  EXPECT_EQ(7u, GetDlgItemInt(dialog_, IDC_WAIT_SECONDS, nullptr, FALSE)) << "seven seconds by default";
  EXPECT_EQ(S_FALSE, page_->IsPageDirty());

  // Closed local ports: the fetcher's downloads fail at once.
  Click(IDC_REMOVE_FEED);
  SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, L"http://127.0.0.1:1/a.xml");
  Click(IDC_ADD_FEED);
  SetDlgItemTextW(dialog_, IDC_NEW_FEED_URL, L"http://127.0.0.1:1/b.xml");
  Click(IDC_ADD_FEED);
  SetDlgItemInt(dialog_, IDC_REFRESH_MINUTES, 45, FALSE);
  SetDlgItemInt(dialog_, IDC_WAIT_SECONDS, 3, FALSE);
  SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_SETPOS, TRUE, -6);
  ASSERT_EQ(S_OK, page_->Apply());

  EXPECT_EQ(u"http://127.0.0.1:1/a.xml URL http://127.0.0.1:1/b.xml URL ", FeedUrls(gadget_.Get()));
  int rate = 0, delay = 0, speed = 0;
  gadget_->get_FeedRefreshRate(&rate);
  gadget_->get_DelayBetweenFeeds(&delay);
  gadget_->get_SpeechSpeed(&speed);
  EXPECT_EQ(45, rate);
  EXPECT_EQ(3, delay);
  EXPECT_EQ(-6, speed);
}

TEST_F(SettingsPageLiveTest, AnEmptyListBecomesTheDefaultUrlOnTheNextOpening) {
  const std::u16string defaultUrl = FeedUrls(gadget_.Get());
  gadget_->put_FeedURLs(UniqueBstr(L"http://127.0.0.1:1/a.xml URL ").get());
  Activate();
  ASSERT_EQ(1, FeedCount());
  Click(IDC_REMOVE_FEED);
  ASSERT_EQ(S_OK, page_->Apply());
  EXPECT_EQ(defaultUrl, FeedUrls(gadget_.Get()));

  Deactivate();
  Activate();
  ASSERT_EQ(1, FeedCount());
  EXPECT_EQ(defaultUrl, Feed(0));
}

}  // namespace
}  // namespace quorvane::test
