// The gadget through the keyboard and a screen reader's eyes, in the test
// container: keys as the container forwards them, the focus rectangle, the
// accessible object and the events it raises.
#include <oleacc.h>

#include "GadgetInteraction.h"

namespace quorvane::test {
namespace {

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
  // An id past the link bar is refused, leaving nothing a caller could free.
  BSTR none = SysAllocString(L"not the gadget's");
  const BSTR mine = none;
  EXPECT_EQ(E_INVALIDARG, reader->get_accName(Child(4), &none));
  EXPECT_EQ(nullptr, none);
  SysFreeString(mine);
  VARIANT state;
  state.vt = VT_BSTR;
  EXPECT_EQ(E_INVALIDARG, reader->get_accState(Child(4), &state));
  EXPECT_EQ(VT_EMPTY, state.vt);

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
