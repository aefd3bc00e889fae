// The fetcher's schedule, store and stop, with a scripted per-feed step.
#include "feeds/FeedFetcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "PostCounter.h"
#include "feeds/FeedCycle.h"
#include "win/com/Module.h"

namespace quorvane {
namespace {

using test::ElapsedMs;
using test::PostCounter;
using test::WaitUntil;

// Shared by the test and every scripted step it creates; outlives both.
struct Script {
  std::atomic<int> recordsPerFeed{1};
  std::atomic<int> tag{0};
  std::atomic<bool> ignoreStop{false};  // behaves like a read the close does not abort
  std::atomic<bool> fail{false};        // every feed fails
  std::atomic<int> sourcesAlive{0};
  std::atomic<int> parsing{0};          // parses begun
  UniqueHandle gate;                    // a semaphore: one token per download, when set
  std::u16string gatedUrl;              // when set, only this URL waits for the gate
  std::u16string ungatedUrl;            // when set, this URL never waits for the gate
  UniqueHandle parseGate;               // when set, every parse waits for a token, stop or not
  std::mutex lock;
  std::vector<std::u16string> fetched;

  void UseGate() { gate = UniqueHandle(CreateSemaphoreW(nullptr, 0, 1000, nullptr)); }
  void Open(LONG fetches) { ReleaseSemaphore(gate.get(), fetches, nullptr); }
  // The URLs downloaded so far, sorted: a few downloads run at once.
  std::vector<std::u16string> Fetched() {
    std::lock_guard<std::mutex> guard(lock);
    auto sorted = fetched;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }
};

class ScriptedSource : public FeedSource {
 public:
  explicit ScriptedSource(std::shared_ptr<Script> script) : script_(std::move(script)) { ++script_->sourcesAlive; }
  ~ScriptedSource() override { --script_->sourcesAlive; }

  FeedDownloader Downloader() override {
    return [script = script_](const std::u16string& url, FeedSignals& signals) {
      {
        std::lock_guard<std::mutex> guard(script->lock);
        script->fetched.push_back(url);
      }
      FeedBody body;
      if (script->gate && (script->gatedUrl.empty() || script->gatedUrl == url) && script->ungatedUrl != url) {
        while (WaitForSingleObject(script->gate.get(), 5) != WAIT_OBJECT_0) {
          if (signals.stopRequested && !script->ignoreStop) {
            body.reason = u"stopped";
            return body;
          }
        }
      }
      return body;
    };
  }

  FeedOutcome Parse(const std::u16string& url, FeedBody body, const std::atomic<bool>&,
                    std::vector<FeedItem>& cycle) override {
    if (!body.reason.empty()) return FailedOutcome(url, body.reason);
    if (script_->fail) return FailedOutcome(url, u"HTTP 404");
    ++script_->parsing;
    if (script_->parseGate) WaitForSingleObject(script_->parseGate.get(), INFINITE);
    const std::u16string tag(1, static_cast<char16_t>(u'0' + script_->tag));
    for (int i = 0; i < script_->recordsPerFeed; ++i) {
      FeedItem item;
      item.link = url;
      item.title = tag;
      item.description = url + u"/" + static_cast<char16_t>(u'0' + i);
      cycle.push_back(item);
    }
    return OkOutcome(url, static_cast<uint32_t>(script_->recordsPerFeed));
  }

 private:
  std::shared_ptr<Script> script_;
};

class FeedFetcherTest : public ::testing::Test {
 protected:
  // No floor between cycles and a short back-off, unless a test says otherwise.
  void SetUp() override {
    baselineLocks_ = module::LockCount();
    SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 0});
  }
  // Lets every download and parse through, so nothing of this test is left
  // running into the next.
  void TearDown() override {
    if (script_->gate) script_->Open(1000);
    if (script_->parseGate) ReleaseSemaphore(script_->parseGate.get(), 1000, nullptr);
    EXPECT_TRUE(WorkersEnded());
    SetFeedTiming({});
  }

  std::unique_ptr<FeedFetcher> MakeFetcher(uint32_t intervalMs = kDefaultRefreshIntervalMs) {
    auto script = script_;
    auto fetcher = std::make_unique<FeedFetcher>(
        posts_.window(), PostCounter::kMessage, [script] { return std::make_unique<ScriptedSource>(script); });
    fetcher->SetRefreshIntervalMs(intervalMs);
    return fetcher;
  }

  // A fetcher on `list` whose steps wait at the gate and ignore a stop, as a
  // read that closing its handle does not end; returned once `fetched` of
  // them have begun.
  std::unique_ptr<FeedFetcher> FetcherPastTheGate(const std::u16string& list, size_t fetched) {
    script_->UseGate();
    script_->ignoreStop = true;
    auto fetcher = MakeFetcher();
    fetcher->SetFeedList(list);
    EXPECT_TRUE(WaitUntil([&] { return script_->Fetched().size() >= fetched; })) << "the downloads did not begin";
    return fetcher;
  }

  // Every worker this test started has ended.
  bool WorkersEnded(DWORD timeoutMs = 5000) {
    const ULONGLONG start = GetTickCount64();
    while (module::LockCount() > baselineLocks_) {
      if (ElapsedMs(start) > timeoutMs) return false;
      Sleep(5);
    }
    return script_->sourcesAlive == 0;
  }

  std::vector<std::u16string> Descriptions(FeedFetcher& fetcher, int count) {
    std::vector<std::u16string> result;
    for (int i = 0; i < count; ++i) result.push_back(fetcher.NextItem().description);
    return result;
  }

  std::shared_ptr<Script> script_ = std::make_shared<Script>();
  PostCounter posts_;
  LONG baselineLocks_ = 0;
};

TEST_F(FeedFetcherTest, CreatedFetcherStartsNothingAndHandsOutThePlaceholder) {
  auto fetcher = MakeFetcher();
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
  EXPECT_EQ(fetcher->RefreshIntervalMs(), kDefaultRefreshIntervalMs);
  EXPECT_EQ(module::LockCount(), baselineLocks_);
  EXPECT_FALSE(posts_.WaitFor(1, 50));
}

TEST_F(FeedFetcherTest, EmptyListStillCyclesAndPosts) {
  auto fetcher = MakeFetcher(0);
  fetcher->SetFeedList(u"");
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
  EXPECT_TRUE(script_->Fetched().empty());
}

TEST_F(FeedFetcherTest, OneCycleFetchesEveryUrlInOrderAndHandsOutRoundRobin) {
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"a URL b URL c URL ");
  ASSERT_TRUE(posts_.WaitFor(4));  // one per feed while the store fills, one at the end
  EXPECT_EQ(script_->Fetched(), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_EQ(Descriptions(*fetcher, 4), (std::vector<std::u16string>{u"a/0", u"b/0", u"c/0", u"a/0"}));
  // One cycle only: the worker now waits for the refresh interval.
  EXPECT_FALSE(posts_.WaitFor(5, 100));
  EXPECT_EQ(script_->Fetched().size(), 3u);
}

TEST_F(FeedFetcherTest, AnEmptyStoreSaysNoFeedCouldBeReadOnlyOnceEveryFeedFailedAndPreviousStepsBack) {
  auto fetcher = MakeFetcher();
  script_->fail = true;
  script_->UseGate();
  fetcher->SetFeedList(u"a URL b URL ");
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());  // the first cycle is still running
  script_->Open(2);
  ASSERT_TRUE(posts_.WaitFor(1));
  EXPECT_EQ(fetcher->NextItem(), NoFeedReadItem());
  EXPECT_TRUE(IsStatusItem(fetcher->PreviousItem()));

  script_->fail = false;
  fetcher->SetFeedList(u"a URL b URL c URL ");
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
  // Spare tokens: the first list's worker may have begun another cycle whose
  // downloads, stopped but still at the gate, can take some.
  script_->Open(8);
  ASSERT_TRUE(posts_.WaitFor(5));  // one per feed while the store fills, one at the end
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"a/0", u"b/0"}));
  EXPECT_EQ(fetcher->PreviousItem().description, u"a/0");
  EXPECT_EQ(fetcher->PreviousItem().description, u"c/0");  // round the end
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"a/0", u"b/0"}));
}

TEST_F(FeedFetcherTest, RefreshKeepsTheCursorWhileInRangeAndResetsItOtherwise) {
  script_->UseGate();
  script_->recordsPerFeed = 3;
  auto fetcher = MakeFetcher(0);
  fetcher->SetFeedList(u"f");
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(2));  // the feed into the empty store, then the end of the cycle
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"f/0", u"f/1"}));

  script_->recordsPerFeed = 4;  // cursor 2 stays in range
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_EQ(fetcher->NextItem().description, u"f/2");

  script_->recordsPerFeed = 2;  // cursor 3 does not
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(4));
  EXPECT_EQ(fetcher->NextItem().description, u"f/0");

  script_->recordsPerFeed = 0;  // a cycle with no records brings back the placeholder
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(5));
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
}

TEST_F(FeedFetcherTest, SetFeedListEmptiesTheStoreUntilTheNewWorkerCommits) {
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"old");
  ASSERT_TRUE(posts_.WaitFor(2));  // the feed into the empty store, the end of the cycle
  ASSERT_EQ(fetcher->NextItem().description, u"old/0");

  script_->UseGate();
  fetcher->SetFeedList(u"new");
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_EQ(fetcher->NextItem().description, u"new/0");
}

TEST_F(FeedFetcherTest, IntervalZeroStillKeepsTheFloorBetweenCycleStarts) {
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 300, .firstBackoffMs = 0});
  auto fetcher = MakeFetcher(0);
  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(u"x URL y");
  // The third cycle's downloads: cycles go on, and two floors lie between
  // the first cycle's start and the third's, however busy the machine.
  ASSERT_TRUE(WaitUntil([&] { return script_->Fetched().size() >= 6; })) << "the cycles stopped";
  EXPECT_GE(ElapsedMs(start), 600u);
}

TEST_F(FeedFetcherTest, NewIntervalTakesEffectAtTheNextWait) {
  auto fetcher = MakeFetcher(600);
  // Timed from the start: a busy machine may pump the first posts late, and
  // must not make the wait look shorter than it was.
  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(u"x");
  ASSERT_TRUE(posts_.WaitFor(2));  // the feed, then the end of the first cycle
  fetcher->SetRefreshIntervalMs(0);
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_GE(ElapsedMs(start), 550u);  // the wait under way kept its time-out
  ASSERT_TRUE(posts_.WaitFor(12, 2000));   // later waits use the new one
}

TEST_F(FeedFetcherTest, DeletionWhileTheWorkerWaitsEndsIt) {
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"x");
  ASSERT_TRUE(posts_.WaitFor(1));
  const ULONGLONG start = GetTickCount64();
  fetcher.reset();
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_TRUE(WorkersEnded());
}

TEST_F(FeedFetcherTest, StopDuringACycleSkipsTheRestAndPostsNothingAfterwards) {
  script_->UseGate();
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"a URL b URL c URL d");
  ASSERT_TRUE(WaitUntil([&] { return script_->Fetched().size() >= 3; })) << "the downloads did not begin";
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded());
  EXPECT_EQ(script_->Fetched(), (std::vector<std::u16string>{u"a", u"b", u"c"}));  // never d
  EXPECT_FALSE(posts_.WaitFor(1, 50));
}

// A step that ignores the stop stands for a read the close cannot abort.
TEST_F(FeedFetcherTest, DeletionDoesNotWaitForAWorkerThatCannotStop) {
  auto fetcher = FetcherPastTheGate(u"stalled URL next", 2);

  const ULONGLONG start = GetTickCount64();
  fetcher.reset();
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_GT(module::LockCount(), baselineLocks_);  // the worker keeps the module loaded

  script_->Open(2);
  EXPECT_TRUE(WorkersEnded());
  EXPECT_EQ(script_->Fetched(), (std::vector<std::u16string>{u"next", u"stalled"}));
  EXPECT_EQ(posts_.Drain(), 0);
}

TEST_F(FeedFetcherTest, AnAbandonedWorkerNeverCommitsIntoTheNewStore) {
  auto fetcher = FetcherPastTheGate(u"old", 1);

  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(u"new");
  EXPECT_LT(ElapsedMs(start), 1000u);
  script_->Open(2);  // lets both the abandoned and the new worker through
  ASSERT_TRUE(posts_.WaitFor(2));
  EXPECT_FALSE(posts_.WaitFor(3, 100));  // nothing of the abandoned worker
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"new/0", u"new/0"}));
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded());
}

TEST_F(FeedFetcherTest, WhileTheStoreIsEmptyEachFeedShowsAsSoonAsItIsReadInListOrder) {
  script_->UseGate();
  script_->gatedUrl = u"slow";
  auto fetcher = MakeFetcher(0);
  fetcher->SetFeedList(u"slow URL b URL c");
  ASSERT_TRUE(posts_.WaitFor(2));  // b and c, while slow still downloads
  EXPECT_EQ(Descriptions(*fetcher, 3), (std::vector<std::u16string>{u"b/0", u"c/0", u"b/0"}));
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(4));  // slow, at the head of the store, and the end of the cycle
  // The display carries on where it was (c), then the store in list order.
  EXPECT_EQ(Descriptions(*fetcher, 3), (std::vector<std::u16string>{u"c/0", u"slow/0", u"b/0"}));

  // A later cycle replaces the store only once it has every feed.
  script_->tag = 1;
  ASSERT_TRUE(WaitUntil([&] { return script_->Fetched().size() >= 6; })) << "no later cycle began";
  EXPECT_FALSE(posts_.WaitFor(5, 200));  // b and c read again, slow still at the gate
  EXPECT_EQ(fetcher->NextItem().title, u"0");
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(5));
  EXPECT_EQ(fetcher->NextItem().title, u"1");
}

TEST_F(FeedFetcherTest, AFeedPastItsDeadlineIsAbandonedAndTheCycleGoesOn) {
  SetFeedTiming({.deadlineMs = 300, .cycleFloorMs = 0, .firstBackoffMs = 0});
  script_->UseGate();
  script_->gatedUrl = u"stuck";
  script_->ignoreStop = true;  // like a read that a closed handle does not end
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"stuck URL b");
  ASSERT_TRUE(posts_.WaitFor(2, 3000));  // b, and the end of the cycle after stuck's deadline
  const std::vector<FeedOutcome> outcomes = fetcher->Outcomes();
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[0].reason, u"timed out");
  EXPECT_EQ(outcomes[1].state, FeedState::Ok);
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"b/0", u"b/0"}));

  fetcher.reset();
  EXPECT_GT(module::LockCount(), baselineLocks_);  // the abandoned download keeps the module loaded
  script_->Open(1);
  EXPECT_TRUE(WorkersEnded());
}

TEST_F(FeedFetcherTest, CyclesThatLeaveNothingToShowBackOffUntilSomethingIsShown) {
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 40});
  script_->recordsPerFeed = 0;
  auto fetcher = MakeFetcher(60'000);
  fetcher->SetFeedList(u"x");
  // Waits of 40, 80, 160 and 320 ms, where the interval would allow one cycle.
  ASSERT_TRUE(posts_.WaitFor(5, 3000));
  script_->recordsPerFeed = 1;
  ASSERT_TRUE(posts_.WaitFor(7, 3000));  // the feed into the empty store, the end of the cycle
  const size_t fetched = script_->Fetched().size();
  EXPECT_FALSE(posts_.WaitFor(8, 500));  // from now on the interval holds
  EXPECT_EQ(script_->Fetched().size(), fetched);
}

// A parse that ignores the stop stands for a feed that keeps the XML
// parser busy for minutes.
TEST_F(FeedFetcherTest, AParsePastTheDeadlineIsLeftBehindAndItsUrlIsNotReadAgainUntilItEnds) {
  SetFeedTiming({.deadlineMs = 300, .cycleFloorMs = 50, .firstBackoffMs = 0});
  script_->parseGate = UniqueHandle(CreateSemaphoreW(nullptr, 0, 100, nullptr));
  auto fetcher = MakeFetcher(0);
  fetcher->SetFeedList(u"slow");
  ASSERT_TRUE(posts_.WaitFor(3, 10'000)) << "the cycles waited for the parse";
  EXPECT_EQ(fetcher->Outcomes()[0].reason, u"timed out");
  EXPECT_EQ(script_->Fetched(), std::vector<std::u16string>{u"slow"});  // later cycles left it alone
  EXPECT_EQ(script_->parsing, 1);
  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(u"slow");
  EXPECT_LT(ElapsedMs(start), 1000u);

  ReleaseSemaphore(script_->parseGate.get(), 100, nullptr);
  while (fetcher->Outcomes()[0].state != FeedState::Ok) {
    ASSERT_LT(ElapsedMs(start), 10'000u) << "the feed was not read again once its parse had ended";
    Sleep(5);
  }
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded());
}

// Stalled feeds listed first hold the healthy one back no longer than the
// short quiet time, whatever is left of their deadlines.
TEST_F(FeedFetcherTest, DownloadsThatHearNothingLetTheNextFeedStart) {
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 0, .quietMs = 50, .silenceMs = 60'000});
  script_->ungatedUrl = u"good";
  auto fetcher = FetcherPastTheGate(u"s1 URL s2 URL s3 URL s4 URL good", 5);
  ASSERT_TRUE(posts_.WaitFor(1)) << "the healthy feed was not shown while the stalled ones ran";
  EXPECT_EQ(fetcher->NextItem().description, u"good/0");
}

TEST_F(FeedFetcherTest, ADownloadSilentForTheSilenceLimitTimesOutLongBeforeItsDeadline) {
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 0, .quietMs = 50, .silenceMs = 300});
  script_->gatedUrl = u"stuck";
  auto fetcher = FetcherPastTheGate(u"stuck URL b", 2);
  const ULONGLONG start = GetTickCount64();
  while (fetcher->Outcomes()[0].reason != u"timed out") {
    ASSERT_LT(ElapsedMs(start), 10'000u) << "the silent download was not timed out";
    Sleep(5);
  }
  EXPECT_EQ(fetcher->Outcomes()[1].state, FeedState::Ok);
}

// However often the list changes while downloads cannot stop, the module
// keeps to its limit of download threads.
TEST_F(FeedFetcherTest, ListChangesDuringStalledDownloadsNeverExceedTheThreadLimit) {
  SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 0, .quietMs = 50, .silenceMs = 60'000});
  script_->UseGate();
  script_->ignoreStop = true;
  auto fetcher = MakeFetcher();
  size_t most = 0;
  for (int change = 0; change < 30; ++change) {
    const std::u16string tag(1, static_cast<char16_t>(u'A' + change));
    fetcher->SetFeedList(tag + u"1 URL " + tag + u"2 URL " + tag + u"3");
    // Until this list's downloads began, or the limit stopped them.
    WaitUntil([&] { return script_->Fetched().size() >= std::min<size_t>(3 * (change + 1), kMaxDownloadThreads); },
              5000);
    most = std::max(most, LiveDownloadThreads());
  }
  EXPECT_LE(most, kMaxDownloadThreads);
  EXPECT_LE(script_->Fetched().size(), kMaxDownloadThreads);
}

TEST_F(FeedFetcherTest, ANewListStartsAtTheFirstRecordOfItsFirstFeed) {
  script_->recordsPerFeed = 3;
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"old");
  ASSERT_TRUE(posts_.WaitFor(2));
  ASSERT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"old/0", u"old/1"}));
  fetcher->SetFeedList(u"new");
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_EQ(fetcher->NextItem().description, u"new/0");
}

}  // namespace
}  // namespace quorvane
