// The gadget control statically linked: its state after construction, the
// start-up timers, its window messages, redraw requests and teardown with
// wait threads still sleeping.
#include <windows.h>

#include <gtest/gtest.h>

#include "GadgetControlProbe.h"
#include "TestContainer.h"
#include "win/com/Module.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

using Probe = GadgetControlTestProbe;

class GadgetControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    baseLocks_ = module::LockCount();
    gadget_ = MakeGadget(control_);
    ASSERT_NE(gadget_, nullptr);
  }
  void TearDown() override {
    control_.Reset();
    EXPECT_EQ(module::LockCount(), baseLocks_) << "an object or thread of the gadget is still alive";
  }

  // Hands MSG_START to the message-only window as a posted message would.
  void Start() { SendMessageW(Probe::MessageWindow(*gadget_), MSG_START, 0, 0); }
  void Tick(UINT_PTR timer) { SendMessageW(Probe::MessageWindow(*gadget_), WM_TIMER, timer, 0); }

  LONG baseLocks_ = 0;
  ComPtr<IUnknown> control_;
  TimerRecordingGadget* gadget_ = nullptr;
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
};

TEST_F(GadgetControlTest, ConstructionShowsTheUntypedPlaceholderAndStartsNothing) {
  const TypingMachine& machine = Probe::Machine(*gadget_);
  EXPECT_EQ(machine.CurrentItem().description, u"Connecting");
  EXPECT_TRUE(machine.NeedNewScreen());
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.WaitingForNextScreen() || machine.ScreenFull() || machine.CursorOn() || machine.Paused());

  EXPECT_EQ(Probe::Settings(*gadget_), GadgetSettingsRecord{});
  EXPECT_TRUE(Probe::HasFetcher(*gadget_));
  EXPECT_TRUE(gadget_->timers.empty());
  EXPECT_EQ(Probe::Waits(*gadget_).Count(), 0u);

  // A message-only window: it has no place among the desktop's windows.
  HWND window = Probe::MessageWindow(*gadget_);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_NE(GetAncestor(window, GA_PARENT), GetDesktopWindow());

  LOGFONTW body{}, link{};
  ASSERT_NE(GetObjectW(Probe::BodyFont(*gadget_), sizeof(body), &body), 0);
  ASSERT_NE(GetObjectW(Probe::LinkFont(*gadget_), sizeof(link), &link), 0);
  EXPECT_EQ(std::wstring(body.lfFaceName), L"Tahoma");
  EXPECT_EQ(body.lfHeight, -11);
  EXPECT_FALSE(body.lfUnderline);
  EXPECT_TRUE(link.lfUnderline);
  // Two separate loads of the bars' strip.
  EXPECT_NE(Probe::BarBitmapTop(*gadget_), nullptr);
  EXPECT_NE(Probe::BarBitmapBottom(*gadget_), nullptr);
  EXPECT_NE(Probe::BarBitmapTop(*gadget_), Probe::BarBitmapBottom(*gadget_));
}

TEST_F(GadgetControlTest, StartSetsTheTypingTimerBySpeedAndTheCursorTimer) {
  Probe::Settings(*gadget_).feedUrls = u"http://127.0.0.1:9/feed URL ";
  for (auto [speed, period] : {std::pair{-10, 130u}, {0, 80u}, {10, 30u}}) {
    Probe::Settings(*gadget_).speechSpeed = speed;
    gadget_->timers.clear();
    Start();
    const std::vector<std::pair<UINT_PTR, UINT>> expected = {{TIMER_TYPING, period}, {TIMER_CURSOR, 700u}};
    EXPECT_EQ(gadget_->timers, expected) << "speed " << speed;
  }
}

TEST_F(GadgetControlTest, InitNewRestoresTheDefaultsAndPostsStart) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  ASSERT_EQ(control_.As(&gadget), S_OK);
  gadget->put_SpeechSpeed(10);
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(control_.As(&persist), S_OK);
  EXPECT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(Probe::Settings(*gadget_), GadgetSettingsRecord{});
  EXPECT_EQ(persist->IsDirty(), S_OK);

  Probe::Settings(*gadget_).feedUrls = u"http://127.0.0.1:9/feed URL ";
  gadget_->timers.clear();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, Probe::MessageWindow(*gadget_), MSG_START, MSG_START, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
  DispatchMessageW(&msg);
  EXPECT_EQ(gadget_->timers.front(), std::make_pair(TIMER_TYPING, 80u));
}

TEST_F(GadgetControlTest, TypingTicksAskForARedrawUnlessPausedAndCursorTicksNever) {
  TestContainer container;
  ASSERT_EQ(container.Embed(control_.Get()), S_OK);
  ASSERT_EQ(container.AdviseView(), S_OK);
  TypingMachine& machine = Probe::Machine(*gadget_);

  Tick(TIMER_TYPING);
  EXPECT_EQ(machine.TypedCount(), 1);
  EXPECT_EQ(container.Calls().Count(L"OnViewChange"), 1);

  Tick(TIMER_CURSOR);
  EXPECT_TRUE(machine.CursorOn());
  EXPECT_EQ(container.Calls().Count(L"OnViewChange"), 1);

  machine.TogglePause();
  Tick(TIMER_TYPING);
  EXPECT_EQ(machine.TypedCount(), 1);  // typing stands still
  EXPECT_EQ(container.Calls().Count(L"OnViewChange"), 1);

  Tick(7);  // not one of ours
  EXPECT_EQ(machine.TypedCount(), 1);
  container.Close();
}

TEST_F(GadgetControlTest, TypingTicksPaintAtOnceInTheWindowOrThroughTheWindowlessSite) {
  {
    TestContainer container;
    ASSERT_EQ(container.Embed(control_.Get()), S_OK);
    ASSERT_EQ(container.AdviseView(), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    ComPtr<IOleWindow> oleWindow;
    ASSERT_EQ(control_.As(&oleWindow), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(oleWindow->GetWindow(&window), S_OK);
    UpdateWindow(window);  // a first drawing, which the ticks then change
    Tick(TIMER_TYPING);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "painted, not asked for";
    EXPECT_EQ(container.Calls().Count(L"OnViewChange"), 0);
    container.Close();
  }
  SiteOptions options;
  options.windowless = true;
  TestContainer container(options);
  ASSERT_EQ(container.Embed(control_.Get()), S_OK);
  ASSERT_EQ(container.Activate(), S_OK);
  UpdateWindow(container.Window());
  const int asked = container.Calls().Count(L"InvalidateRect"), lent = container.Calls().Count(L"GetDC");
  Tick(TIMER_TYPING);
  EXPECT_EQ(container.Calls().Count(L"GetDC"), lent + 1);
  EXPECT_EQ(container.Calls().Count(L"InvalidateRect"), asked);
  container.Close();
}

TEST_F(GadgetControlTest, SizingIsClampedToEighteenPixelsHigh) {
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_EQ(control_.As(&windowless), S_OK);
  RECT tall{10, 20, 90, 60};
  LRESULT result = -1;
  EXPECT_EQ(windowless->OnWindowMessage(WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&tall), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(tall.top, 20);
  EXPECT_EQ(tall.bottom, 38);
  RECT low{10, 20, 90, 32};
  windowless->OnWindowMessage(WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&low), &result);
  EXPECT_EQ(low.bottom, 32);

  // Button-up and erasing are handled and do nothing; others are not ours.
  EXPECT_EQ(windowless->OnWindowMessage(WM_LBUTTONUP, 0, 0, &result), S_OK);
  EXPECT_EQ(windowless->OnWindowMessage(WM_ERASEBKGND, 0, 0, &result), S_OK);
  EXPECT_EQ(windowless->OnWindowMessage(WM_MOUSEMOVE, 0, 0, &result), S_FALSE);
}

TEST_F(GadgetControlTest, PauseTogglesKeepOneWaitOfEachKindAndReleaseEndsThem) {
  TypingMachine& machine = Probe::Machine(*gadget_);
  Probe::Settings(*gadget_).delayBetweenFeedsMs = 600'000;
  // A held page, then pause toggled again and again during the wait between
  // screens: each pause ends both waits, each resume starts both again.
  machine.StartResumeWait();
  for (int i = 0; i < 20; ++i) {
    machine.StartNextScreenWait();
    machine.TogglePause();
    machine.TogglePause();
  }
  WaitThreads& waits = Probe::Waits(*gadget_);
  const ULONGLONG end = GetTickCount64() + 5000;
  while (waits.Count() > 2 && GetTickCount64() < end) Sleep(5);
  EXPECT_EQ(waits.Count(), 2u) << "replaced waits must end";
  EXPECT_GT(module::LockCount(), baseLocks_ + 1);  // the object and its threads
  const ULONGLONG before = GetTickCount64();
  control_.Reset();  // TearDown checks that no thread is left
  EXPECT_LT(GetTickCount64() - before, 60'000u) << "teardown waited out a sleeping thread";
}

TEST_F(GadgetControlTest, QuickActivationSitesTheControlLikeSetClientSite) {
  TestContainer container;
  ComPtr<IQuickActivate> quick;
  ASSERT_EQ(control_.As(&quick), S_OK);
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(container.Site().QueryInterface(IID_PPV_ARGS(&site)), S_OK);
  QACONTAINER host{};
  host.cbSize = sizeof(host);
  host.pClientSite = site.Get();
  QACONTROL answer{};
  answer.cbSize = sizeof(answer);
  ASSERT_EQ(quick->QuickActivate(&host, &answer), S_OK);
  EXPECT_EQ(answer.dwMiscStatus, 0x20191u);
  EXPECT_EQ(container.Calls().calls.size(), 3u);

  ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(control_.As(&classInfo), S_OK);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(classInfo->GetClassInfo(&info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_QuorvaneRSSGadget));
  info->ReleaseTypeAttr(attributes);

  ComPtr<IOleObject> object;
  ASSERT_EQ(control_.As(&object), S_OK);
  object->SetClientSite(nullptr);
}

TEST_F(GadgetControlTest, SiteWithoutPluginInterfacesHearsNothingMore) {
  SiteOptions options;
  options.pluginSite = false;
  TestContainer container(options);
  EXPECT_EQ(container.Embed(control_.Get()), S_OK);
  EXPECT_TRUE(container.Calls().calls.empty());
  ComPtr<IPluginCommand> command;
  ASSERT_EQ(control_->QueryInterface(IID_IPluginCommand, reinterpret_cast<void**>(command.GetAddressOf())), S_OK);
  EXPECT_EQ(command->OnCommand(kPluginCommandAbout), S_OK);
  EXPECT_TRUE(container.Calls().calls.empty());
  container.Close();
}

}  // namespace
}  // namespace quorvane::test
