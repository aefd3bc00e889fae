// The headline store's rules and the order in which a cycle starts its
// feeds, without threads or a network.
#include "feeds/FeedStore.h"

#include <gtest/gtest.h>

#include "feeds/FeedTiming.h"

namespace quorvane {
namespace {

std::vector<FeedItem> Records(const std::u16string& feed, int count) {
  std::vector<FeedItem> records;
  for (int i = 0; i < count; ++i) records.push_back(FeedItem{u"", u"", feed + u"/" + char16_t(u'0' + i), u"", u""});
  return records;
}

class FeedStoreTest : public ::testing::Test {
 protected:
  std::vector<std::u16string> Next(int count) {
    std::vector<std::u16string> seen;
    for (int i = 0; i < count; ++i) seen.push_back(store_.Next().description);
    return seen;
  }
  // One whole cycle of `generation` in which every feed gives `count` records.
  void Cycle(uint64_t generation, const std::vector<std::u16string>& feeds, int count) {
    store_.BeginCycle(generation);
    for (size_t i = 0; i < feeds.size(); ++i)
      store_.FeedDone(generation, i, OkOutcome(feeds[i], count), Records(feeds[i], count));
    store_.EndCycle(generation);
  }

  int posts_ = 0;
  FeedStore store_{[this] { ++posts_; }};
};

TEST_F(FeedStoreTest, ANewListStartsAtItsFirstRecordAndDropsWhatOlderCyclesHandIn) {
  const uint64_t old = store_.Reset({u"a", u"b"});
  Cycle(old, {u"a", u"b"}, 2);
  EXPECT_EQ(Next(3), (std::vector<std::u16string>{u"a/0", u"a/1", u"b/0"}));

  const uint64_t current = store_.Reset({u"c"});
  EXPECT_EQ(store_.Next(), PlaceholderItem());
  const int posts = posts_;
  store_.BeginCycle(old);
  store_.FeedDone(old, 0, OkOutcome(u"a", 2), Records(u"a", 2));  // a late commit of the old list
  EXPECT_FALSE(store_.EndCycle(old));
  EXPECT_EQ(posts_, posts);
  EXPECT_EQ(store_.Outcomes()->outcomes[0]->state, FeedState::NotTried);

  Cycle(current, {u"c"}, 4);  // more than the old cursor: it must not carry over
  EXPECT_EQ(Next(2), (std::vector<std::u16string>{u"c/0", u"c/1"}));
  store_.Close();
  EXPECT_FALSE(store_.EndCycle(current));
}

TEST_F(FeedStoreTest, AnEmptyStoreFillsFeedByFeedInListOrderAndAFullOneIsReplacedAtTheEnd) {
  const uint64_t generation = store_.Reset({u"a", u"b", u"c"});
  store_.BeginCycle(generation);
  store_.FeedDone(generation, 2, OkOutcome(u"c", 1), Records(u"c", 1));
  EXPECT_EQ(posts_, 1);  // shown at once
  store_.FeedDone(generation, 1, FailedOutcome(u"b", u"timed out"), {});
  EXPECT_EQ(posts_, 1);
  EXPECT_EQ(store_.Outcomes()->outcomes[1]->reason, u"timed out");  // before the cycle ends
  EXPECT_EQ(Next(1), std::vector<std::u16string>{u"c/0"});
  store_.FeedDone(generation, 0, OkOutcome(u"a", 2), Records(u"a", 2));
  EXPECT_EQ(Next(3), (std::vector<std::u16string>{u"a/0", u"a/1", u"c/0"}));  // c kept its turn
  EXPECT_EQ(store_.EndCycle(generation), 3u);

  store_.BeginCycle(generation);
  store_.FeedDone(generation, 0, OkOutcome(u"a", 1), Records(u"x", 1));
  EXPECT_EQ(store_.Next().description, u"a/0");  // the store is whole until the cycle ends
  store_.EndCycle(generation);
  EXPECT_EQ(Next(2), (std::vector<std::u16string>{u"x/0", u"x/0"}));
  EXPECT_EQ(store_.Previous().description, u"x/0");
}

TEST_F(FeedStoreTest, OutcomeSnapshotsNeverChangeAndANewOneHasANewGeneration) {
  const uint64_t generation = store_.Reset({u"a"});
  const auto before = store_.Outcomes();
  store_.BeginCycle(generation);
  store_.FeedDone(generation, 0, FailedOutcome(u"a", u"HTTP 404"), {});
  const auto after = store_.Outcomes();
  EXPECT_EQ(before->outcomes[0]->state, FeedState::NotTried);
  EXPECT_EQ(after->outcomes[0]->reason, u"HTTP 404");
  EXPECT_NE(before->generation, after->generation);
  EXPECT_EQ(store_.Next(), NoFeedReadItem());
}

TEST(StartOrder, FeedsThatFailedLastTimeStartAfterTheOthers) {
  std::vector<std::shared_ptr<const FeedOutcome>> last;
  for (FeedState state : {FeedState::Failed, FeedState::Ok, FeedState::Failed, FeedState::NotTried}) {
    FeedOutcome outcome;
    outcome.state = state;
    last.push_back(std::make_shared<const FeedOutcome>(outcome));
  }
  EXPECT_EQ(StartOrder(last), (std::vector<size_t>{1, 3, 0, 2}));
}

}  // namespace
}  // namespace quorvane
