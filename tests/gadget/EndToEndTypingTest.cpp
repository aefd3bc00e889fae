// The gadget in the test container with its real fetcher, fed from the local
// feed server with stories longer than a page. The test is the clock: it
// sends the typing ticks itself and paints after each one, and lets posted
// messages (the fetcher's, the wait threads') through only when it pumps,
// so every page hold and every pause between screens is seen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "EndToEnd.h"
#include "GadgetControlProbe.h"
#include "win/com/Apartment.h"

namespace quorvane::test {
namespace {

using Probe = GadgetControlTestProbe;

// The real gadget whose timers are recorded but never set: the test ticks.
class HandClockedGadget final : public GadgetControl {
 public:
  using GadgetControl::GadgetControl;
  std::vector<std::pair<UINT_PTR, UINT>> timers;

 protected:
  void SetWindowTimer(UINT_PTR id, UINT periodMs) override { timers.emplace_back(id, periodMs); }
};

constexpr RECT kTextArea{3, 16, 157, 84};  // between the bars of a 160 x 100 control
constexpr RECT kTitleBar{3, 1, 157, 15};
constexpr RECT kLinkBar{3, 85, 157, 99};

const std::u16string kTitles[] = {u"Harbour reopens", u"Library extends hours", u"Trains run on time"};

class EndToEndTypingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
    gadget_ = MakeGadget<HandClockedGadget>(control_);
    ASSERT_NE(gadget_, nullptr);
  }
  void TearDown() override {
    if (FeedServer().empty()) return;
    automation_.Reset();
    control_.Reset();
  }

  TypingMachine& Machine() { return Probe::Machine(*gadget_); }

  // One tick of the typing timer, then the paint it asked for.
  void Tick() {
    SendMessageW(Probe::MessageWindow(*gadget_), WM_TIMER, TIMER_TYPING, 0);
    UpdateWindow(window_);
  }

  // As a host starts it, in place in `container`: settings initialised, the
  // fastest typing, a feed list; then MSG_START and the fetcher's first
  // cycle replace the placeholder.
  void Start(TestContainer& container, const std::u16string& feeds) {
    ASSERT_EQ(container.Embed(control_.Get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    window_ = ControlWindow(control_.Get());
    ASSERT_NE(window_, nullptr);
    InitNewWithFeeds(control_.Get(), feeds, 10);
    ASSERT_EQ(control_.As(&automation_), S_OK);
    ASSERT_TRUE(container.PumpUntil(10000, [&] { return !IsStatusItem(Machine().CurrentItem()); }))
        << "no record from the server";
  }

  ComPtr<IUnknown> control_;
  ComPtr<IQuorvaneRSSGadget> automation_;
  HandClockedGadget* gadget_ = nullptr;
  HWND window_ = nullptr;
  // Last: joined after the other members are made, left before they go.
  OleApartment apartment_;
};

TEST_F(EndToEndTypingTest, ServedStoriesAreTypedPageByPageAndScreenByScreenInRoundRobin) {
  const int lineHeight = BodyLineHeight(Probe::BodyFont(*gadget_));
  ASSERT_GT(lineHeight, 0);
  TestContainer container;  // 160 x 100
  Start(container, ServedFeedList(u"/feeds/long-stories.xml"));
  if (HasFatalFailure()) return;
  ASSERT_FALSE(gadget_->timers.empty());
  EXPECT_EQ(gadget_->timers.back(), std::make_pair(TIMER_CURSOR, kCursorBlinkMs));
  EXPECT_NE(std::find(gadget_->timers.begin(), gadget_->timers.end(), std::make_pair(TIMER_TYPING, 30u)),
            gadget_->timers.end());

  // Three stories, then the first again. The first story's holds and pause
  // last a second; the others' none.
  ASSERT_EQ(automation_->put_DelayBetweenFeeds(1), S_OK);
  for (int screen = 0; screen < 4; ++screen) {
    SCOPED_TRACE("screen " + std::to_string(screen));
    const FeedItem item = Machine().CurrentItem();
    ASSERT_EQ(item.title, kTitles[screen % 3]);
    EXPECT_EQ(item.feedTitle, u"Long Stories Weekly");
    ASSERT_EQ(Machine().TypedCount(), 0);
    const int length = static_cast<int>(item.description.size());

    const DWORD delayMs = screen == 0 ? 1000 : 0;
    int holds = 0;
    ULONGLONG typedAt = 0;
    for (int ticks = 0; !Machine().WaitingForNextScreen(); ++ticks) {
      ASSERT_LT(ticks, 2 * length) << "typing never reached the end of the story";
      typedAt = GetTickCount64();  // no later than a wait begun by this tick or its paint
      Tick();
      if (!Machine().ScreenFull()) continue;

      // A full page: typing holds until the resume wait posts.
      ++holds;
      const int held = Machine().TypedCount();
      ASSERT_LT(held, length);
      const auto full = CaptureWindow(window_, "e2e_full_page");
      EXPECT_GE(LowestInkedRow(*full, kTextArea), kTextArea.top + 2 + 2 * lineHeight)
          << "a full page has text down to its last lines";
      if (holds == 1 && screen == 0) {
        EXPECT_GT(LinkInk(*full, kTitleBar), 0) << "the story's title";
        EXPECT_GT(LinkInk(*full, kLinkBar), 0) << "the feed's title";
      }
      for (int i = 0; i < 3; ++i) Tick();
      EXPECT_EQ(Machine().TypedCount(), held);
      ASSERT_TRUE(container.PumpUntil(5000, [&] { return !Machine().ScreenFull(); }));
      EXPECT_GE(GetTickCount64() - typedAt + 20, delayMs) << "the hold ended before the delay";
      EXPECT_EQ(Machine().TypedCount(), held + 1);

      // Typing goes on at the top of a fresh page, unless the hold was at
      // the story's last character: a last page that is exactly full.
      if (held + 1 == length) continue;
      Tick();
      const auto fresh = CaptureWindow(window_, "e2e_fresh_page");
      const int lowest = LowestInkedRow(*fresh, kTextArea);
      EXPECT_GE(lowest, kTextArea.top) << "the cursor at least";
      EXPECT_LT(lowest, kTextArea.top + 2 + lineHeight + 2) << "only the first line of the new page";
    }
    EXPECT_GE(holds, 2) << "each story fills more than two pages";

    // Fully typed: the pause between screens, in which ticks type nothing.
    EXPECT_EQ(Machine().TypedCount(), length);
    EXPECT_TRUE(Machine().NeedNewScreen());
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(Machine().TypedCount(), length);
    EXPECT_EQ(Machine().CurrentItem().title, item.title);
    ASSERT_TRUE(container.PumpUntil(5000, [&] { return !Machine().WaitingForNextScreen(); }));
    EXPECT_GE(GetTickCount64() - typedAt + 20, delayMs) << "the next screen came before the delay";
    if (screen == 0) ASSERT_EQ(automation_->put_DelayBetweenFeeds(0), S_OK);
  }
  container.Close();
}

// New feeds put in the middle of a story: the new list's first cycle
// replaces the story at once, without waiting for its end.
TEST_F(EndToEndTypingTest, NewFeedsPutMidStoryReplaceItAtOnce) {
  TestContainer container;
  Start(container, ServedFeedList(u"/feeds/long-stories.xml"));
  if (HasFatalFailure()) return;
  for (int i = 0; i < 40; ++i) Tick();
  ASSERT_EQ(Machine().CurrentItem().title, kTitles[0]);
  ASSERT_EQ(Machine().TypedCount(), 40);

  PutFeeds(control_.Get(), ServedFeedList(u"/feeds/rss2.xml"));
  // A new list starts at its first record, whatever was handed out before.
  ASSERT_TRUE(container.PumpUntil(5000, [&] { return Machine().CurrentItem().feedTitle == u"Quorvane & Friends"; }));
  EXPECT_EQ(Machine().CurrentItem().title, u"First headline");
  EXPECT_EQ(Machine().TypedCount(), 0);
  EXPECT_FALSE(Machine().NeedNewScreen());
  Tick();
  const auto shown = CaptureWindow(window_, "e2e_new_feeds");
  EXPECT_GT(LinkInk(*shown, kTitleBar), 20);
  EXPECT_LT(LowestInkedRow(*shown, kTextArea), kTextArea.top + 2 + BodyLineHeight(Probe::BodyFont(*gadget_)) + 2);
  container.Close();
}

}  // namespace
}  // namespace quorvane::test
