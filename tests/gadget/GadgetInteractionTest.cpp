// The gadget's menu and pointer through its COM interfaces, in the test
// container: the "Pause" item, clicks on the link bar and the hand pointer.
#include "GadgetInteraction.h"

namespace quorvane::test {
namespace {

std::u16string MenuText(HMENU menu, UINT id) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
  return reinterpret_cast<const char16_t*>(text);
}

TEST_F(GadgetInteractionTest, MenuOffersPauseCheckedWhilePaused) {
  for (const bool paused : {false, true}) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Host item");
    EXPECT_EQ(S_OK, menu_->QueryContextMenu(menu, 0, 100, 110, CMF_NORMAL));
    ASSERT_EQ(2, GetMenuItemCount(menu));
    EXPECT_EQ(100u, GetMenuItemID(menu, 1)) << "appended at the end with the first id";
    EXPECT_EQ(u"Pause", MenuText(menu, 100));
    EXPECT_EQ(paused ? MF_CHECKED : MF_UNCHECKED, GetMenuState(menu, 100, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);

    CMINVOKECOMMANDINFO command{sizeof(command)};
    command.lpVerb = MAKEINTRESOURCEA(0);
    ASSERT_EQ(S_OK, menu_->InvokeCommand(&command));
    EXPECT_EQ(!paused, gadget_->Machine().Paused());
  }
  EXPECT_EQ(E_NOTIMPL, menu_->GetCommandString(0, GCS_VERBA, nullptr, nullptr, 0));
}

TEST_F(GadgetInteractionTest, OnlyVerbZeroTogglesThePause) {
  CMINVOKECOMMANDINFO command{sizeof(command)};
  for (const UINT_PTR verb : {1u, 2u, 100u}) {
    command.lpVerb = MAKEINTRESOURCEA(verb);
    EXPECT_EQ(S_OK, menu_->InvokeCommand(&command));
  }
  command.lpVerb = "pause";
  EXPECT_EQ(S_OK, menu_->InvokeCommand(&command));
  EXPECT_FALSE(gadget_->Machine().Paused());
}

// Pausing freezes the display: the wait between screens ends unposted,
// ticks type nothing and ask for no redraw, posts change nothing. The next
// headline shows at once, a whole page, still paused; resuming goes on.
TEST_F(GadgetInteractionTest, PauseFreezesTheDisplayAndNextShowsAPageAtOnce) {
  Embed({0, 0, 160, 60});
  gadget_->ShowItem(Headline(u"http://example.com/a"));
  ComPtr<IQuorvaneRSSGadget> gadget;
  ASSERT_EQ(S_OK, control_.As(&gadget));
  ASSERT_EQ(S_OK, gadget->put_DelayBetweenFeeds(600));
  TypingMachine& machine = gadget_->Machine();
  for (size_t i = 0; i <= machine.CurrentItem().description.size(); ++i) gadget->IncrementFeed();
  ASSERT_TRUE(machine.WaitingForNextScreen());
  WaitThreads& waits = GadgetControlTestProbe::Waits(*gadget_);
  ASSERT_EQ(1u, waits.Count());

  CMINVOKECOMMANDINFO command{sizeof(command)};
  // Asked for, or painted at once through the site's device context.
  const auto shown = [&] { return container_->Calls().Count(L"InvalidateRect") + container_->Calls().Count(L"GetDC"); };
  int redraws = shown();
  ASSERT_EQ(S_OK, menu_->InvokeCommand(&command));
  EXPECT_TRUE(machine.Paused());
  EXPECT_EQ(++redraws, shown()) << "the marker shows at once";
  const ULONGLONG end = GetTickCount64() + 10'000;
  while (waits.Count() > 0 && GetTickCount64() < end) Sleep(5);
  EXPECT_EQ(0u, waits.Count()) << "the ten-minute wait goes on while paused";

  HWND messages = gadget_->MessageWindow();
  gadget_->nextItem = {u"http://example.com/b", u"B", u"Other words", u"Feed", u"12:01"};
  SendMessageW(messages, WM_TIMER, TIMER_TYPING, 0);
  SendMessageW(messages, MSG_NEXT_SCREEN, 0, 0);
  EXPECT_EQ(u"Some text", machine.CurrentItem().description) << "the screen changed while paused";
  EXPECT_EQ(redraws, shown()) << "no redraw while paused";

  ComPtr<IQuorvaneRSSFeeds> feeds;
  ASSERT_EQ(S_OK, control_.As(&feeds));
  ASSERT_EQ(S_OK, feeds->NextHeadline());
  EXPECT_EQ(++redraws, shown()) << "the next headline shows at once";
  ComPtr<IViewObject> view;
  ASSERT_EQ(S_OK, control_.As(&view));
  testing::Canvas canvas(160, 60);
  const RECTL bounds{0, 0, 160, 60};
  ASSERT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr,
                             nullptr, 0));
  EXPECT_EQ(11, machine.TypedCount()) << "its page shown whole";
  EXPECT_TRUE(machine.Paused());
  Click(55);
  EXPECT_EQ(Links{u"http://example.com/b"}, Opened()) << "the link bar opens the headline on screen";

  ASSERT_EQ(S_OK, menu_->InvokeCommand(&command));
  SendMessageW(messages, WM_TIMER, TIMER_TYPING, 0);
  EXPECT_TRUE(machine.WaitingForNextScreen()) << "resumed at the end of the text";
  redraws = shown();
  SendMessageW(messages, MSG_NEXT_SCREEN, 0, 0);  // the wait's end
  EXPECT_EQ(++redraws, shown()) << "the next screen's bars show before its first character";
}

TEST_F(GadgetInteractionTest, ClickInTheLinkBarOfATallControlOpensTheLink) {
  Embed({0, 0, 160, 60});
  gadget_->ShowItem(Headline(u"http://example.com/a?b=1"));
  EXPECT_EQ(0, Click(30));  // the text area
  EXPECT_EQ(0, Click(44));  // the row above the bar
  EXPECT_TRUE(Opened().empty());
  EXPECT_EQ(0, Click(45));
  EXPECT_EQ(0, Click(59));
  EXPECT_EQ((Links{u"http://example.com/a?b=1", u"http://example.com/a?b=1"}), Opened());

  // The button-up is swallowed.
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_EQ(S_OK, control_.As(&windowless));
  LRESULT result = -1;
  EXPECT_EQ(S_OK, windowless->OnWindowMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 59), &result));
  EXPECT_EQ(0, result);
}

TEST_F(GadgetInteractionTest, ClickFollowsThePositionRectangle) {
  Embed({0, 20, 160, 80});
  gadget_->ShowItem(Headline(u"https://example.com/"));
  Click(50);
  Click(64);
  EXPECT_TRUE(Opened().empty());
  Click(65);
  EXPECT_EQ(Links{u"https://example.com/"}, Opened());
  // The vertical coordinate is signed: a point above the window is not in the bar.
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_EQ(S_OK, control_.As(&windowless));
  LRESULT result = -1;
  windowless->OnWindowMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(20, -1), &result);
  EXPECT_EQ(1u, Opened().size());
}

// With a window of its own the control sees its own client coordinates.
TEST_F(GadgetInteractionTest, ClickInTheControlsOwnWindow) {
  HWND window = Embed({0, 20, 160, 80}, false);
  ASSERT_TRUE(window);
  gadget_->ShowItem(Headline(u"https://example.com/"));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 44));
  EXPECT_TRUE(Opened().empty());
  EXPECT_EQ(0, SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 45)));
  EXPECT_EQ(Links{u"https://example.com/"}, Opened());
}

TEST_F(GadgetInteractionTest, ClickInALowControlOpensNothing) {
  Embed({0, 0, 160, 40});
  gadget_->ShowItem(Headline(u"http://example.com/"));
  for (const int y : {5, 25, 30, 39}) Click(y);
  EXPECT_TRUE(Opened().empty());
}

TEST_F(GadgetInteractionTest, ClickOpensOnlyWebLinks) {
  Embed({0, 0, 160, 60});
  for (const char16_t* link :
       {u"", u"file:///C:/Windows/System32/cmd.exe", u"C:\\tools\\x.exe", u"\\\\host\\share\\x.exe",
        u"javascript:alert(1)", u"http://x/\" --flag"}) {
    gadget_->ShowItem(Headline(link));
    Click(55);
  }
  EXPECT_TRUE(Opened().empty());
  gadget_->ShowItem(Headline(u"HTTPS://Example.com/"));
  Click(55);
  EXPECT_EQ(Links{u"HTTPS://Example.com/"}, Opened());
}

TEST_F(GadgetInteractionTest, HandShowsOverTheLinkBarOfAnOpenableLink) {
  Embed({0, 0, 160, 60});
  EXPECT_FALSE(HandAt(55)) << "the placeholder has no link";
  gadget_->ShowItem(Headline(u"http://example.com/"));
  EXPECT_FALSE(HandAt(44));
  EXPECT_TRUE(HandAt(45));
  EXPECT_TRUE(HandAt(59));
  gadget_->ShowItem(Headline(u"file:///C:/x.exe"));
  EXPECT_FALSE(HandAt(55)) << "a link that a click would not open";
}

TEST_F(GadgetInteractionTest, HandShowsInALowControlToo) {
  Embed({0, 0, 160, 40});
  gadget_->ShowItem(Headline(u"http://example.com/"));
  EXPECT_FALSE(HandAt(24));
  EXPECT_TRUE(HandAt(25));
}

}  // namespace
}  // namespace quorvane::test
