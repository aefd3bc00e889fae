#pragma once
// The fixture of the tests that drive the gadget control through its COM
// interfaces in the test container, as a host and a user would: its menu,
// the pointer, the keys and its accessible object.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DrawingFixture.h"
#include "ProbedGadget.h"
#include "TestContainer.h"
#include "win/com/Apartment.h"

namespace quorvane::test {

inline FeedItem Headline(std::u16string link) { return {std::move(link), u"Title", u"Some text", u"Feed", u"12:00"}; }

using Links = std::vector<std::u16string>;

class GadgetInteractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, apartment_.Result());
    gadget_ = ProbedGadget::Create(control_);
    ASSERT_TRUE(gadget_);
    ASSERT_EQ(S_OK, control_.As(&menu_));
  }
  void TearDown() override {
    container_.reset();
    menu_.Reset();
    control_.Reset();
    TestContainer::PumpPending();
  }

  // Sites the control in the test container at `position`, windowless
  // unless asked for a window of its own (returned).
  HWND Embed(RECT position, bool windowless = true) {
    SiteOptions options;
    options.windowless = windowless;
    options.position = position;
    container_ = std::make_unique<TestContainer>(options);
    EXPECT_EQ(S_OK, container_->Embed(control_.Get()));
    EXPECT_EQ(S_OK, container_->Activate());
    ComPtr<IOleInPlaceObject> inPlace;
    EXPECT_EQ(S_OK, control_.As(&inPlace));
    HWND window = nullptr;
    EXPECT_EQ(windowless ? E_FAIL : S_OK, inPlace->GetWindow(&window));
    return window;
  }

  // A click at container client coordinate y, as the container forwards it.
  LRESULT Click(int y) { return SendMessageW(container_->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y)); }

  // Whether the control sets the hand for the pointer at container client y.
  bool HandAt(int y) {
    POINT point{20, y};
    ClientToScreen(container_->Window(), &point);
    SetCursorPos(point.x, point.y);
    SetCursor(nullptr);
    ComPtr<IOleInPlaceObjectWindowless> windowless;
    control_.As(&windowless);
    LRESULT result = -1;
    const HRESULT hr = windowless->OnWindowMessage(
        WM_SETCURSOR, reinterpret_cast<WPARAM>(container_->Window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), &result);
    const bool hand = GetCursor() == LoadCursorW(nullptr, IDC_HAND);
    EXPECT_EQ(hr == S_OK, hand) << "handled exactly when the hand is set";
    if (hr == S_OK) EXPECT_EQ(0, result);
    return hand;
  }

  std::vector<std::u16string> Opened() const { return gadget_->opened; }

  // A key pressed while the container has the focus, as it forwards it.
  HRESULT Key(UINT message, WPARAM key) {
    ComPtr<IOleInPlaceObjectWindowless> windowless;
    control_.As(&windowless);
    LRESULT result = -1;
    return windowless->OnWindowMessage(message, key, 0, &result);
  }

  // The control drawn as its container draws it.
  std::unique_ptr<testing::Canvas> Drawn(int width, int height) {
    ComPtr<IViewObject> view;
    control_.As(&view);
    auto canvas = std::make_unique<testing::Canvas>(width, height);
    const RECTL bounds{0, 0, width, height};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas->dc(), &bounds, nullptr, nullptr, 0);
    return canvas;
  }

  ComPtr<IUnknown> control_;
  ProbedGadget* gadget_ = nullptr;
  ComPtr<IContextMenu> menu_;
  std::unique_ptr<TestContainer> container_;
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
};

}  // namespace quorvane::test
