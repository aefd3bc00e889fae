// The gadget control with its real fetcher against the local feed server:
// it types headlines from a feed, and closing it never waits for a server
// that stalls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ServedGadgetTest.h"
#include "TestContainer.h"
#include "feeds/FeedTiming.h"

namespace quorvane::test {
namespace {

using Probe = GadgetControlTestProbe;

class GadgetFeedTest : public ServedGadgetTest {
 protected:
  // InitNew, then the feed list through the automation property; MSG_START
  // hands it to the fetcher when the container pumps.
  void StartWith(const std::u16string& feeds) { InitNewWithFeeds(control_.Get(), feeds); }

  bool LocksBackToBase(DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (module::LockCount() != baseLocks_) {
      if (GetTickCount64() >= end) return false;
      Sleep(10);
    }
    return true;
  }
};

TEST_F(GadgetFeedTest, TypesTheHeadlinesOfAServedFeed) {
  TestContainer container;
  ASSERT_EQ(container.Embed(control_.Get()), S_OK);
  ASSERT_EQ(container.AdviseView(), S_OK);
  ASSERT_EQ(container.Activate(), S_OK);
  StartWith(FeedServer() + u"/feeds/rss2.xml URL ");

  const TypingMachine& machine = Probe::Machine(*gadget_);
  ASSERT_TRUE(container.PumpUntil(10000, [&] { return machine.CurrentItem().title == u"First headline"; }));
  EXPECT_EQ(machine.CurrentItem().feedTitle, u"Quorvane & Friends");
  EXPECT_EQ(machine.CurrentItem().description, u"One bold start.");
  EXPECT_TRUE(container.PumpUntil(5000, [&] { return machine.TypedCount() >= 5; }));
  container.Close();
}

TEST_F(GadgetFeedTest, ClosingWhileAFeedStallsReturnsAtOnceAndTheModuleStaysLoadedUntilTheWorkerEnds) {
  {
    TestContainer container;
    ASSERT_EQ(container.Embed(control_.Get()), S_OK);
    // A server that answers nothing: once it has the request, the download
    // sits in a call that no stop can end before the server closes.
    const int before = ServerHits(u"/silent");
    StartWith(FeedServer() + u"/silent?s=3 URL ");
    ASSERT_TRUE(container.PumpUntil(10'000, [&] { return ServerHits(u"/silent") > before; }))
        << "the feed was never asked for";

    const ULONGLONG start = GetTickCount64();
    container.Close();
    control_.Reset();
    EXPECT_LT(GetTickCount64() - start, 1000u);
  }
  EXPECT_GT(module::LockCount(), baseLocks_);  // DllCanUnloadNow would say S_FALSE
  EXPECT_TRUE(LocksBackToBase(15000));
}

// The per-feed deadline shortened: a feed that never ends gives way, and
// the other feed is on screen long before that.
TEST_F(GadgetFeedTest, AFeedThatNeverEndsTimesOutWhileTheNextFeedIsTyped) {
  SetFeedTiming({.deadlineMs = 1500, .cycleFloorMs = 60'000, .firstBackoffMs = 15'000});
  {
    TestContainer container;
    ASSERT_EQ(container.Embed(control_.Get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    StartWith(FeedServer() + u"/drip?s=1 URL " + FeedServer() + u"/feeds/rss2.xml URL ");
    const TypingMachine& machine = Probe::Machine(*gadget_);
    ASSERT_TRUE(container.PumpUntil(1400, [&] { return machine.CurrentItem().title == u"First headline"; }));
    EXPECT_TRUE(container.PumpUntil(5000, [&] {
      const auto outcomes = Probe::Fetcher(*gadget_).Outcomes();
      return outcomes.size() == 2 && outcomes[0].reason == u"timed out" && outcomes[1].recordCount == 3;
    }));
    container.Close();
    control_.Reset();
  }
  SetFeedTiming({});
  EXPECT_TRUE(LocksBackToBase(5000));  // the abandoned read ends at the server's next byte
}

}  // namespace
}  // namespace quorvane::test
