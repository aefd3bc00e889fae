// The gadget in the test container, on its own timers, with its real fetcher
// against the local feed server: a host's start-up brings real headlines to
// the screen, the records of several feeds follow each other in list order,
// and changing the feeds while one stalls neither blocks the window nor
// lets the stalled download touch the new headlines.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <utility>
#include <vector>

#include "EndToEnd.h"
#include "ServedGadgetTest.h"

namespace quorvane::test {
namespace {

using Probe = GadgetControlTestProbe;

constexpr RECT kTextArea{3, 16, 157, 84};  // between the bars of a 160 x 100 control
constexpr RECT kTitleBar{3, 1, 157, 15};
constexpr RECT kLinkBar{3, 85, 157, 99};

class EndToEndFeedTest : public ServedGadgetTest {
 protected:
  void SetUp() override {
    ServedGadgetTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_EQ(container_.Embed(control_.Get()), S_OK);
    ASSERT_EQ(container_.Activate(), S_OK);
    window_ = ControlWindow(control_.Get());
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(control_.As(&automation_), S_OK);
  }
  void TearDown() override {
    if (FeedServer().empty()) return;
    container_.Close();
    automation_.Reset();
    ServedGadgetTest::TearDown();
  }

  // What a host does: settings initialised, then the user's feed list.
  void Start(const std::u16string& feeds) { InitNewWithFeeds(control_.Get(), feeds, 10); }

  const FeedItem& Current() { return Probe::Machine(*gadget_).CurrentItem(); }

  // Pumps until `count` screens of records (not the placeholder) have been
  // shown; their titles and feed titles in order.
  std::vector<std::pair<std::u16string, std::u16string>> WatchScreens(size_t count, DWORD ms) {
    std::vector<std::pair<std::u16string, std::u16string>> screens;
    const TypingMachine& machine = Probe::Machine(*gadget_);
    int lastTyped = 0;
    container_.PumpUntil(ms, [&] {
      const FeedItem& item = machine.CurrentItem();
      const int typed = machine.TypedCount();
      const bool restarted = typed < lastTyped;  // the same record again
      lastTyped = typed;
      if (!IsStatusItem(item) && (screens.empty() || restarted || screens.back().first != item.title))
        screens.emplace_back(item.title, item.feedTitle);
      return screens.size() >= count;
    });
    return screens;
  }

  TestContainer container_;  // 160 x 100
  ComPtr<IQuorvaneRSSGadget> automation_;
  HWND window_ = nullptr;
};

TEST_F(EndToEndFeedTest, AServedHeadlineIsTypedAndDrawnSoonAfterStartUp) {
  Start(ServedFeedList(u"/feeds/rss2.xml"));
  ASSERT_TRUE(container_.PumpUntil(10000, [&] { return Current().title == u"First headline"; }))
      << "no headline within 10 s";
  EXPECT_EQ(Current().feedTitle, u"Quorvane & Friends");
  EXPECT_EQ(Current().description, u"One bold start.");
  EXPECT_EQ(Current().link, u"http://example.org/1?a=1&b=2");

  // The typing timer types it; what the window shows has the title in the
  // title bar, the feed's title in the link bar and text on the page.
  ASSERT_TRUE(container_.PumpUntil(5000, [&] { return Probe::Machine(*gadget_).TypedCount() >= 6; }));
  UpdateWindow(window_);
  const auto shown = CaptureWindow(window_, "e2e_served_headline");
  EXPECT_GT(LinkInk(*shown, kTitleBar), 20);
  EXPECT_GT(LinkInk(*shown, kLinkBar), 20);
  EXPECT_GT(InkOnPage(*shown, kTextArea), 20);
}

// The sidebar activates the gadget without a window of its own: the
// container paints it into its window whenever the gadget asks its site.
TEST(EndToEndWindowlessFeedTest, AServedHeadlineIsDrawnThroughTheSite) {
  if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
  OleApartment apartment;
  {
    SiteOptions options;
    options.windowless = true;
    TestContainer container(options);  // the gadget at (0, 0) - (160, 100)
    ComPtr<IUnknown> control;
    TimerRecordingGadget* gadget = MakeGadget(control);
    ASSERT_NE(gadget, nullptr);
    ASSERT_EQ(container.Embed(control.Get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    ASSERT_EQ(ControlWindow(control.Get()), nullptr);
    InitNewWithFeeds(control.Get(), ServedFeedList(u"/feeds/rss10.rdf"));

    const TypingMachine& machine = Probe::Machine(*gadget);
    ASSERT_TRUE(container.PumpUntil(10000, [&] {
      return machine.CurrentItem().title == u"RDF one" && machine.TypedCount() >= 6;
    }));
    UpdateWindow(container.Window());
    const auto shown = CaptureWindow(container.Window(), "e2e_windowless_headline");
    EXPECT_GT(LinkInk(*shown, kTitleBar), 20);
    EXPECT_GT(LinkInk(*shown, kLinkBar), 20);
    EXPECT_GT(InkOnPage(*shown, kTextArea), 20);
    // In its place and nowhere else.
    EXPECT_EQ(shown->Pixel(0, 0), testing::kOutlineGrey);
    EXPECT_EQ(shown->Pixel(159, 99), testing::kOutlineGrey);
    EXPECT_NE(shown->Pixel(161, 50), testing::kWhite);
    EXPECT_NE(shown->Pixel(80, 101), testing::kWhite);
    container.Close();
  }
}

// The host's next session: the settings saved by one gadget and loaded into
// a new one start it on the saved feeds and speed, with no InitNew.
TEST(EndToEndSavedStateTest, AGadgetLoadedFromSavedSettingsTypesTheSavedFeeds) {
  if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
  OleApartment apartment;
  {
    ComPtr<IStream> saved;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
    {
      ComPtr<IUnknown> first;
      ASSERT_NE(MakeGadget(first), nullptr);
      InitNewWithFeeds(first.Get(), ServedFeedList(u"/feeds/rss10.rdf"), 10);
      ComPtr<IPersistStreamInit> persist;
      ASSERT_EQ(first.As(&persist), S_OK);
      ASSERT_EQ(persist->Save(saved.Get(), TRUE), S_OK);
      TestContainer::PumpPending();
    }
    ASSERT_EQ(saved->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);

    TestContainer container;
    ComPtr<IUnknown> control;
    TimerRecordingGadget* gadget = MakeGadget(control);
    ASSERT_NE(gadget, nullptr);
    ASSERT_EQ(container.Embed(control.Get()), S_OK);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    ASSERT_EQ(persist->Load(saved.Get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);

    const TypingMachine& machine = Probe::Machine(*gadget);
    ASSERT_TRUE(container.PumpUntil(10000, [&] { return machine.CurrentItem().title == u"RDF one"; }));
    EXPECT_EQ(machine.CurrentItem().feedTitle, u"RDF Channel");
    EXPECT_EQ(gadget->timers.front(), std::make_pair(TIMER_TYPING, 30u));
    EXPECT_TRUE(container.PumpUntil(5000, [&] { return machine.TypedCount() >= 3; }));
    container.Close();
  }
}

// The first screen is whichever feed arrived first (the store fills feed by
// feed); from there the records follow in list order, round and round.
TEST_F(EndToEndFeedTest, RecordsOfSeveralFeedsFollowInListOrderAndWrapAround) {
  Start(ServedFeedList(u"/feeds/rss2.xml") + ServedFeedList(u"/feeds/rss10.rdf"));
  const auto screens = WatchScreens(7, 30000);
  const std::vector<std::pair<std::u16string, std::u16string>> cycle = {
      {u"First headline", u"Quorvane & Friends"}, {u"Second headline", u"Quorvane & Friends"},
      {u"Third headline", u"Quorvane & Friends"}, {u"RDF one", u"RDF Channel"},
      {u"RDF two", u"RDF Channel"}};
  ASSERT_EQ(screens.size(), 7u);
  // Once both feeds are in, the order is the list's.
  const size_t at = std::find(cycle.begin(), cycle.end(), screens[2]) - cycle.begin();
  ASSERT_LT(at, cycle.size());
  for (size_t i = 2; i < screens.size(); ++i) EXPECT_EQ(screens[i], cycle[(at + i - 2) % cycle.size()]) << i;
}

TEST_F(EndToEndFeedTest, ChangingTheFeedsWhileOneStallsDoesNotWaitForIt) {
  const int hitsBefore = ServerHits(u"/stall-after-headers");
  ASSERT_GE(hitsBefore, 0) << "the feed server does not answer";
  Start(ServedFeedList(u"/stall-after-headers?s=4"));
  ASSERT_TRUE(container_.PumpUntil(5000, [&] { return ServerHits(u"/stall-after-headers") > hitsBefore; }));
  container_.PumpUntil(300, [] { return false; });  // the worker sits in its read

  const ULONGLONG put = GetTickCount64();
  PutFeeds(control_.Get(), ServedFeedList(u"/feeds/rss2.xml"));
  EXPECT_LT(GetTickCount64() - put, 1000u) << "the window waited for the stalled download";
  ASSERT_TRUE(container_.PumpUntil(3000, [&] { return Current().title == u"First headline"; }));

  // The stalled workers end when the server lets go; they leave the new
  // headlines alone (an empty store would bring back the placeholder).
  // Left: the object and the running worker.
  EXPECT_TRUE(container_.PumpUntil(15000, [&] { return module::LockCount() <= baseLocks_ + 2; }))
      << "an abandoned worker never ended";
  const auto screens = WatchScreens(4, 15000);
  ASSERT_EQ(screens.size(), 4u);
  for (const auto& [title, feedTitle] : screens) EXPECT_EQ(feedTitle, u"Quorvane & Friends");
}

}  // namespace
}  // namespace quorvane::test
