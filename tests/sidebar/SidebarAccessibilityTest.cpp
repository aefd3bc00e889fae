// The sidebar as a screen reader and a keyboard user meet it, in process
// (Wine's oleacc answers only within one): the client object of its window
// has the gadget's object as its child, which reads the headline on screen;
// Tab gives the gadget the focus and shows it; Space pauses; the menu key
// opens the gadget's menu; Escape closes the feed status window.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FeedServer.h"
#include "QuorvaneRSS_h.h"
#include "harness/WindowCapture.h"
#include "sidebar/GadgetFactory.h"
#include "sidebar/SidebarWindow.h"
#include "WineTestPaths.h"
#include "win/com/Apartment.h"

namespace quorvane::sidebar {
namespace {

VARIANT Child(LONG id) {
  VARIANT child;
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::u16string Name(IAccessible* object, LONG child) {
  UniqueBstr name;
  object->get_accName(Child(child), name.out());
  return name.str();
}

LONG State(IAccessible* object, LONG child) {
  VARIANT state;
  VariantInit(&state);
  object->get_accState(Child(child), &state);
  return state.vt == VT_I4 ? state.lVal : 0;
}

// Handles the thread's messages until `done` or `ms` milliseconds.
template <class Done>
bool PumpUntil(DWORD ms, Done done) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

int menusSeen = 0, ticksWithoutMenu = 0;

// Ends a menu as soon as it shows, or after about ten seconds without one.
void CALLBACK EndMenuWhenShown(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if ((menu && IsWindowVisible(menu)) || ++ticksWithoutMenu > 200) {
    menusSeen += menu != nullptr;
    EndMenu();
  }
}

TEST(SidebarAccessibilityTest, AScreenReaderAndTheKeyboardReachTheGadget) {
  if (test::FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
  OleApartment apartment;
  ASSERT_EQ(apartment.Result(), S_OK);
  GadgetFactory factory(testing::BuildPath(L"src\\sidebar\\QuorvaneRSS.dll"));
  SidebarWindow sidebar(factory);
  ASSERT_TRUE(sidebar.Create());
  ASSERT_EQ(S_OK, sidebar.AddGadget(kGadgetClassId, testing::BuildPath(L"no-such-folder\\none.state")));
  ComPtr<IQuorvaneRSSGadget> settings;
  ASSERT_EQ(S_OK, sidebar.Gadget(0).Control()->QueryInterface(IID_PPV_ARGS(&settings)));
  UniqueBstr feeds(test::ServedFeedList(u"/samples/circuit-weekly.xml"));
  ASSERT_EQ(S_OK, settings->put_FeedURLs(feeds.get()));
  sidebar.FitAndShow(SW_SHOWNOACTIVATE);
  HWND window = sidebar.Window();

  ComPtr<IAccessible> client;
  ASSERT_EQ(S_OK, AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_PPV_ARGS(&client)));
  long count = 0;
  ASSERT_EQ(S_OK, client->get_accChildCount(&count));
  ASSERT_EQ(1, count);
  ComPtr<IDispatch> child;
  ASSERT_EQ(S_OK, client->get_accChild(Child(1), &child));
  ComPtr<IAccessible> gadget;
  ASSERT_EQ(S_OK, child.As(&gadget));
  ASSERT_TRUE(PumpUntil(20'000, [&] { return !Name(gadget.Get(), 1).empty(); })) << "no headline within 20 s";
  EXPECT_FALSE(Name(gadget.Get(), 2).empty());
  UniqueBstr link;
  ASSERT_EQ(S_OK, gadget->get_accValue(Child(3), link.out()));
  EXPECT_EQ(u"http", link.str().substr(0, 4));

  const auto cuePixel = [&] {
    UpdateWindow(window);
    const RECT& rect = sidebar.Gadget(0).Rect();
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, rect.left + 1, (rect.top + rect.bottom) / 2);
    ReleaseDC(window, dc);
    return pixel;
  };
  const COLORREF unfocused = cuePixel();
  EXPECT_EQ(0, State(gadget.Get(), CHILDID_SELF) & STATE_SYSTEM_FOCUSED);
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_NE(0, State(gadget.Get(), CHILDID_SELF) & STATE_SYSTEM_FOCUSED) << "Tab gives the gadget the focus";
  VARIANT focus;
  ASSERT_EQ(S_OK, client->get_accFocus(&focus));
  EXPECT_EQ(VT_DISPATCH, focus.vt) << "the client names the focused gadget";
  VariantClear(&focus);
  EXPECT_NE(unfocused, cuePixel()) << "a focus rectangle shows it";
  if (const char* folder = std::getenv("QUORVANE_DRAWING_SNAPSHOTS"))
    CaptureWindow(window, std::wstring(folder, folder + std::strlen(folder)) + L"\\sidebar_focused.bmp", true);

  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(L"*Pause", sidebar.MenuTexts(0).front()) << "Space pauses";

  // The menu runs its own loop; a thread timer, which that loop dispatches, ends it.
  menusSeen = ticksWithoutMenu = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, EndMenuWhenShown);
  ASSERT_NE(0u, timer);
  SendMessageW(window, WM_KEYDOWN, VK_APPS, 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(1, menusSeen) << "the menu key opens the gadget's menu";

  sidebar.ShowFeedStatus(0);
  HWND status = sidebar.FeedStatus().Window();
  ASSERT_TRUE(status);
  HWND list = FindWindowExW(status, nullptr, WC_LISTVIEWW, nullptr);
  SendMessageW(status, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(list, GetFocus()) << "the feed status window's keys go to its list";
  SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(PumpUntil(10'000, [&] { return !sidebar.FeedStatus().Window(); })) << "Escape closes it";
  sidebar.Close();
}

}  // namespace
}  // namespace quorvane::sidebar
