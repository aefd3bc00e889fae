// The gadget's menu, pointer, keys and accessible object through its COM
// interfaces, in the test container: the "Pause" item, clicks on the link
// bar and the hand pointer, the keyboard, and what a screen reader reads
// and hears.
#include <oleacc.h>

#include <gtest/gtest.h>

#include "DrawingFixture.h"
#include "ProbedGadget.h"
#include "TestContainer.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

FeedItem Headline(std::u16string link) { return {std::move(link), u"Title", u"Some text", u"Feed", u"12:00"}; }

std::u16string MenuText(HMENU menu, UINT id) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
  return reinterpret_cast<const char16_t*>(text);
}

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

using Links = std::vector<std::u16string>;
using Texts = std::vector<std::u16string>;

std::u16string Name(IAccessible* object, const VARIANT& child) {
  UniqueBstr name;
  object->get_accName(child, name.out());
  return name.str();
}

VARIANT Child(LONG id) {
  VARIANT child;
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

// What a WinEvent hook of this thread heard: name changes, by window, object
// and child.
struct HeardEvent {
  HWND window;
  LONG object;
  LONG child;
};
std::vector<HeardEvent> heard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  heard.push_back({window, object, child});
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
  int redraws = container_->Calls().Count(L"InvalidateRect");
  ASSERT_EQ(S_OK, menu_->InvokeCommand(&command));
  EXPECT_TRUE(machine.Paused());
  EXPECT_EQ(++redraws, container_->Calls().Count(L"InvalidateRect")) << "the marker shows at once";
  const ULONGLONG end = GetTickCount64() + 10'000;
  while (waits.Count() > 0 && GetTickCount64() < end) Sleep(5);
  EXPECT_EQ(0u, waits.Count()) << "the ten-minute wait goes on while paused";

  HWND messages = gadget_->MessageWindow();
  gadget_->nextItem = {u"http://example.com/b", u"B", u"Other words", u"Feed", u"12:01"};
  SendMessageW(messages, WM_TIMER, TIMER_TYPING, 0);
  SendMessageW(messages, MSG_NEXT_SCREEN, 0, 0);
  EXPECT_EQ(u"Some text", machine.CurrentItem().description) << "the screen changed while paused";
  EXPECT_EQ(redraws, container_->Calls().Count(L"InvalidateRect")) << "no redraw while paused";

  ComPtr<IQuorvaneRSSFeeds> feeds;
  ASSERT_EQ(S_OK, control_.As(&feeds));
  ASSERT_EQ(S_OK, feeds->NextHeadline());
  EXPECT_EQ(++redraws, container_->Calls().Count(L"InvalidateRect")) << "the next headline shows at once";
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

namespace quorvane::test {
namespace {

TEST_F(GadgetInteractionTest, KeysDoWhatThePointerWheelAndMenuDo) {
  Embed({0, 0, 160, 60});
  gadget_->ShowItem(Headline(u"http://example.com/a"));
  TypingMachine& machine = gadget_->Machine();
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_SPACE));
  EXPECT_TRUE(machine.Paused());
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_SPACE));
  EXPECT_FALSE(machine.Paused());
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_RETURN));
  EXPECT_EQ(Links{u"http://example.com/a"}, Opened());

  for (const auto [next, previous] : {std::pair{VK_RIGHT, VK_LEFT}, std::pair{VK_DOWN, VK_UP}}) {
    gadget_->nextItem = {u"http://example.com/b", u"B", u"Next text", u"Feed", u"12:01"};
    EXPECT_EQ(S_OK, Key(WM_KEYDOWN, next));
    EXPECT_EQ(u"Next text", machine.CurrentItem().description);
    EXPECT_EQ(S_OK, Key(WM_KEYDOWN, previous));
    EXPECT_EQ(u"Connecting", machine.CurrentItem().description) << "the empty store's record before it";
  }
  EXPECT_EQ(S_FALSE, Key(WM_KEYDOWN, VK_TAB)) << "Tab is the container's";
  EXPECT_EQ(S_FALSE, Key(WM_SYSKEYDOWN, VK_F10)) << "F10 alone is the menu bar's";

  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_APPS));
  EXPECT_EQ(S_OK, Key(WM_KEYUP, VK_APPS)) << "the default handling would ask again";
  BYTE keys[256] = {}, shifted[256] = {};
  ASSERT_TRUE(GetKeyboardState(keys));
  std::copy(std::begin(keys), std::end(keys), shifted);
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  EXPECT_EQ(S_OK, Key(WM_SYSKEYDOWN, VK_F10));
  EXPECT_EQ(S_OK, Key(WM_SYSKEYUP, VK_F10));
  SetKeyboardState(keys);
  EXPECT_EQ(2, container_->KeyboardMenus()) << "the host is asked for its menu once per key";
}

// Focused, the gadget shows a focus rectangle only once the keyboard has
// been used in its window (its container forwards the cue change): a
// pointer's user sees every pixel as before.
TEST_F(GadgetInteractionTest, FocusRectangleShowsOnlyAfterKeyboardUse) {
  Embed({0, 0, 160, 60});
  gadget_->ShowItem(Headline(u"http://example.com/a"));
  const auto unfocused = Drawn(160, 60);
  // As at a Windows default; Wine's default is to show keyboard cues always.
  Key(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
  EXPECT_EQ(S_FALSE, Key(WM_SETFOCUS, 0)) << "the container's handling goes on";
  const auto byPointer = Drawn(160, 60);
  Key(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
  const auto byKeyboard = Drawn(160, 60);
  int changed = 0, cue = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 160; ++x) {
      changed += byPointer->Pixel(x, y) != unfocused->Pixel(x, y);
      cue += byKeyboard->Pixel(x, y) != unfocused->Pixel(x, y);
    }
  }
  byKeyboard->Snapshot("focus_rectangle");
  EXPECT_EQ(0, changed);
  EXPECT_GT(cue, 100) << "a dotted rectangle around the text area";
  EXPECT_NE(byKeyboard->Pixel(1, 30), unfocused->Pixel(1, 30)) << "its left side, inside the control";
}

// A screen reader's view, through QueryInterface on the control: the title,
// the whole description (not only what is typed so far) and the link of the
// headline on screen; the link's default action opens it as a click does;
// and a name change of the title and the text when the next headline
// arrives, on the container's window, that AccessibleObjectFromEvent turns
// into the gadget's children. Typing raises nothing.
TEST_F(GadgetInteractionTest, ScreenReaderReadsTheHeadlineAndHearsTheNext) {
  Embed({0, 0, 160, 60});
  std::u16string longText;
  for (int i = 0; i < 60; ++i) longText += u"word" + std::u16string(1, u'a' + i % 26) + u" ";
  longText += u"end";
  gadget_->ShowItem({u"http://example.com/a", u"First title", longText, u"Feed A", u"12:00"});
  ComPtr<IAccessible> reader;
  ASSERT_EQ(S_OK, control_.As(&reader));
  VARIANT children[3];
  LONG got = 0;
  ASSERT_EQ(S_OK, AccessibleChildren(reader.Get(), 0, 3, children, &got));
  ASSERT_EQ(3, got);
  Texts names;
  for (int i = 0; i < got; ++i) names.push_back(Name(reader.Get(), children[i]));
  EXPECT_EQ((Texts{u"First title", longText, u"Feed A"}), names);
  VARIANT role;
  ASSERT_EQ(S_OK, reader->get_accRole(children[2], &role));
  EXPECT_EQ(ROLE_SYSTEM_LINK, role.lVal);
  UniqueBstr link;
  ASSERT_EQ(S_OK, reader->get_accValue(children[2], link.out()));
  EXPECT_EQ(u"http://example.com/a", link.str());
  ASSERT_EQ(S_OK, reader->accDoDefaultAction(children[2]));
  EXPECT_EQ(Links{u"http://example.com/a"}, Opened());

  UniqueBstr description;
  reader->get_accDescription(Child(CHILDID_SELF), description.out());
  EXPECT_TRUE(description.str().empty());
  ASSERT_EQ(S_OK, Key(WM_KEYDOWN, VK_SPACE));
  reader->get_accDescription(Child(CHILDID_SELF), description.out());
  EXPECT_FALSE(description.str().empty()) << "while paused the pane says so";
  ASSERT_EQ(S_OK, Key(WM_KEYDOWN, VK_SPACE));

  heard.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &Hear,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  gadget_->nextItem = {u"http://example.com/b", u"Second title", u"Second text", u"Feed B", u"12:01"};
  gadget_->Machine().RequestNewScreen();
  HWND messages = gadget_->MessageWindow();
  SendMessageW(messages, MSG_NEXT_SCREEN, 0, 0);
  for (int i = 0; i < 5; ++i) SendMessageW(messages, WM_TIMER, TIMER_TYPING, 0);
  // Events come in order: once this one is heard, any the typing raised are too.
  constexpr LONG kMarker = 99;
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, container_->Window(), OBJID_CLIENT, kMarker);
  const bool marked = container_->PumpUntil(10'000, [] { return !heard.empty() && heard.back().child == kMarker; });
  UnhookWinEvent(hook);
  ASSERT_TRUE(marked) << "the hook heard nothing within 10 s";
  heard.pop_back();
  ASSERT_EQ(2u, heard.size()) << "one event for the title and one for the text, none per character";
  Texts announced;
  for (const HeardEvent& event : heard) {
    EXPECT_EQ(container_->Window(), event.window);
    ComPtr<IAccessible> object;
    VARIANT child;
    ASSERT_EQ(S_OK, AccessibleObjectFromEvent(event.window, event.object, event.child, &object, &child));
    announced.push_back(Name(object.Get(), child));
  }
  EXPECT_EQ((Texts{u"Second title", u"Second text"}), announced);
}

// A control with a window of its own hands out the same object there.
TEST_F(GadgetInteractionTest, TheControlsOwnWindowAnswersWithItsAccessibleObject) {
  HWND window = Embed({0, 0, 160, 60}, false);
  ASSERT_TRUE(window);
  ComPtr<IAccessible> fromWindow;
  ASSERT_EQ(S_OK, AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_PPV_ARGS(&fromWindow)));
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, fromWindow.As(&identity));
  EXPECT_EQ(control_.Get(), identity.Get());
  EXPECT_EQ(u"QuorvaneRSS", Name(fromWindow.Get(), Child(CHILDID_SELF)));
  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(gadget_->Machine().Paused()) << "its keys come to its window";
}

}  // namespace
}  // namespace quorvane::test
