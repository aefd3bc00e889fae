// The fetcher's schedule, store and stop, with a scripted per-feed step.
#include "feeds/FeedFetcher.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "PostCounter.h"
#include "host/com/Module.h"

namespace quorvane {
namespace {

using test::ElapsedMs;
using test::PostCounter;

// Shared by the test and every scripted step it creates; outlives both.
struct Script {
  std::atomic<int> recordsPerFeed{1};
  std::atomic<int> tag{0};
  std::atomic<bool> ignoreStop{false};  // behaves like a read the close does not abort
  std::atomic<bool> fail{false};        // every feed fails
  std::atomic<int> sourcesAlive{0};
  UniqueHandle gate;                    // a semaphore: one token per fetch, when set
  std::mutex lock;
  std::vector<std::u16string> fetched;

  void UseGate() { gate = UniqueHandle(CreateSemaphoreW(nullptr, 0, 1000, nullptr)); }
  void Open(LONG fetches) { ReleaseSemaphore(gate.get(), fetches, nullptr); }
  std::vector<std::u16string> Fetched() {
    std::lock_guard<std::mutex> guard(lock);
    return fetched;
  }
};

class ScriptedSource : public FeedSource {
 public:
  explicit ScriptedSource(std::shared_ptr<Script> script) : script_(std::move(script)) { ++script_->sourcesAlive; }
  ~ScriptedSource() override { --script_->sourcesAlive; }

  FeedOutcome Fetch(const std::u16string& url, FeedSignals& signals, std::vector<FeedItem>& cycle) override {
    {
      std::lock_guard<std::mutex> guard(script_->lock);
      script_->fetched.push_back(url);
    }
    if (script_->gate) {
      while (WaitForSingleObject(script_->gate.get(), 5) != WAIT_OBJECT_0) {
        if (signals.stopRequested && !script_->ignoreStop) return FailedOutcome(url, u"stopped");
      }
    }
    if (script_->fail) return FailedOutcome(url, u"HTTP 404");
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
  void SetUp() override { baselineLocks_ = module::LockCount(); }

  std::unique_ptr<FeedFetcher> MakeFetcher(uint32_t intervalMs = kDefaultRefreshIntervalMs) {
    auto script = script_;
    auto fetcher = std::make_unique<FeedFetcher>(
        posts_.window(), [script] { return std::make_unique<ScriptedSource>(script); });
    fetcher->SetRefreshIntervalMs(intervalMs);
    return fetcher;
  }

  // Every worker this test started has ended.
  bool WorkersEnded(DWORD timeoutMs = 5000) {
    const ULONGLONG start = GetTickCount64();
    while (module::LockCount() != baselineLocks_) {
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
  Sleep(50);
  EXPECT_EQ(posts_.Drain(), 0);
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
  ASSERT_TRUE(posts_.WaitFor(1));
  EXPECT_EQ(script_->Fetched(), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_EQ(Descriptions(*fetcher, 4), (std::vector<std::u16string>{u"a/0", u"b/0", u"c/0", u"a/0"}));
  // One cycle only: the worker now waits for the refresh interval.
  Sleep(100);
  EXPECT_EQ(posts_.Drain(), 1);
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
  script_->Open(3);
  ASSERT_TRUE(posts_.WaitFor(2));
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
  ASSERT_TRUE(posts_.WaitFor(1));
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"f/0", u"f/1"}));

  script_->recordsPerFeed = 4;  // cursor 2 stays in range
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(2));
  EXPECT_EQ(fetcher->NextItem().description, u"f/2");

  script_->recordsPerFeed = 2;  // cursor 3 does not
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(3));
  EXPECT_EQ(fetcher->NextItem().description, u"f/0");

  script_->recordsPerFeed = 0;  // a cycle with no records brings back the placeholder
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(4));
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
}

TEST_F(FeedFetcherTest, SetFeedListEmptiesTheStoreUntilTheNewWorkerCommits) {
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"old");
  ASSERT_TRUE(posts_.WaitFor(1));
  ASSERT_EQ(fetcher->NextItem().description, u"old/0");

  script_->UseGate();
  fetcher->SetFeedList(u"new");
  EXPECT_EQ(fetcher->NextItem(), PlaceholderItem());
  script_->Open(1);
  ASSERT_TRUE(posts_.WaitFor(2));
  EXPECT_EQ(fetcher->NextItem().description, u"new/0");
}

TEST_F(FeedFetcherTest, IntervalZeroRunsCyclesBackToBack) {
  auto fetcher = MakeFetcher(0);
  fetcher->SetFeedList(u"x URL y");
  ASSERT_TRUE(posts_.WaitFor(20));
}

TEST_F(FeedFetcherTest, NewIntervalTakesEffectAtTheNextWait) {
  auto fetcher = MakeFetcher(600);
  fetcher->SetFeedList(u"x");
  ASSERT_TRUE(posts_.WaitFor(1));
  const ULONGLONG firstCycle = GetTickCount64();
  fetcher->SetRefreshIntervalMs(0);
  ASSERT_TRUE(posts_.WaitFor(2));
  EXPECT_GE(ElapsedMs(firstCycle), 450u);  // the wait under way kept its time-out
  ASSERT_TRUE(posts_.WaitFor(10, 2000));   // later waits use the new one
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
  fetcher->SetFeedList(u"a URL b URL c");
  while (script_->Fetched().empty()) Sleep(1);
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded());
  EXPECT_EQ(script_->Fetched(), std::vector<std::u16string>{u"a"});
  Sleep(50);
  EXPECT_EQ(posts_.Drain(), 0);
}

// A step that ignores the stop stands for a read the close cannot abort.
TEST_F(FeedFetcherTest, DeletionDoesNotWaitForAWorkerThatCannotStop) {
  script_->UseGate();
  script_->ignoreStop = true;
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"stalled URL next");
  while (script_->Fetched().empty()) Sleep(1);

  const ULONGLONG start = GetTickCount64();
  fetcher.reset();
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_GT(module::LockCount(), baselineLocks_);  // the worker keeps the module loaded

  script_->Open(1);
  EXPECT_TRUE(WorkersEnded());
  EXPECT_EQ(script_->Fetched(), std::vector<std::u16string>{u"stalled"});
  EXPECT_EQ(posts_.Drain(), 0);
}

TEST_F(FeedFetcherTest, AnAbandonedWorkerNeverCommitsIntoTheNewStore) {
  script_->UseGate();
  script_->ignoreStop = true;
  auto fetcher = MakeFetcher();
  fetcher->SetFeedList(u"old");
  while (script_->Fetched().empty()) Sleep(1);

  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(u"new");
  EXPECT_LT(ElapsedMs(start), 1000u);
  script_->Open(2);  // lets both the abandoned and the new worker through
  ASSERT_TRUE(posts_.WaitFor(1));
  Sleep(100);
  EXPECT_EQ(posts_.Drain(), 1);
  EXPECT_EQ(Descriptions(*fetcher, 2), (std::vector<std::u16string>{u"new/0", u"new/0"}));
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded());
}

}  // namespace
}  // namespace quorvane
