// How the gadget treats servers, without a network: Retry-After, the bounds
// of a rest, what a cycle sends back or passes by, and what a 304 keeps.
#include <gtest/gtest.h>

#include <regex>

#include "feeds/FeedCourtesy.h"
#include "feeds/FeedServerMemory.h"
#include "feeds/FeedStore.h"

namespace quorvane {
namespace {

constexpr int64_t kSecond = 1000;
constexpr int64_t kHour = 3600 * kSecond;
// Wed, 09 Dec 2026 14:00:00 GMT.
constexpr int64_t kNow = 1796824800 * kSecond;

TEST(FeedCourtesyRulesTest, RetryAfterTakesSecondsAndEachHttpDateForm) {
  EXPECT_EQ(ParseRetryAfterMs("120", kNow), 120 * kSecond);
  EXPECT_EQ(ParseRetryAfterMs(" 0 ", kNow), 0);
  EXPECT_EQ(ParseRetryAfterMs("Wed, 09 Dec 2026 14:05:00 GMT", kNow), 300 * kSecond);
  EXPECT_EQ(ParseRetryAfterMs("Wednesday, 09-Dec-26 15:00:00 GMT", kNow), kHour);
  EXPECT_EQ(ParseRetryAfterMs("Wed Dec  9 14:00:30 2026", kNow), 30 * kSecond);
  EXPECT_EQ(ParseRetryAfterMs("Tue, 08 Dec 2026 14:00:00 GMT", kNow), 0);  // already past
  EXPECT_EQ(ParseRetryAfterMs("99999999999999999999", kNow), kMaxRestMs);   // no overflow
  for (const char* junk : {"", "soon", "-5", "12abc", "Wed, 32 Dec 2026 14:00:00 GMT", "Wed, 09 Dec 2026 25:00:00 GMT",
                           "Wed, 09 Dec 2026 14:75:00 GMT", "Tue, 31 Nov 2026 14:00:00 GMT", "Fri, 29 Feb 2026 14:00:00 GMT"})
    EXPECT_EQ(ParseRetryAfterMs(junk, kNow), std::nullopt) << junk;
}

TEST(FeedCourtesyRulesTest, ARestLastsThroughTheNextCycleAndAtMostADay) {
  const int64_t cycle = 30 * 60 * kSecond;
  const int64_t next = kNow + cycle - kSecond;  // the cycle that got the refusal began a second ago
  const int64_t afterNext = next + cycle;
  EXPECT_EQ(RestUntilMs(std::nullopt, kNow, next, cycle), afterNext);
  EXPECT_EQ(RestUntilMs(5 * kSecond, kNow, next, cycle), afterNext);
  EXPECT_EQ(RestUntilMs(3 * kHour, kNow, next, cycle), kNow + 3 * kHour);
  EXPECT_EQ(RestUntilMs(30 * 24 * kHour, kNow, next, cycle), kNow + kMaxRestMs);
  EXPECT_EQ(RestUntilMs(std::nullopt, kNow, kNow + 2 * kMaxRestMs, cycle), kNow + kMaxRestMs);

  const std::u16string limited = RestReason(429, kNow);
  EXPECT_TRUE(std::regex_match(std::string(limited.begin(), limited.end()),
                               std::regex("rate limited until [0-2][0-9]:[0-5][0-9]")));
  EXPECT_TRUE(RestReason(503, kNow).starts_with(u"unavailable until "));
}

TEST(FeedCourtesyRulesTest, TheModuleRemembersRestsUntilTheyEndAndMovesForGood) {
  FeedServerMemory& memory = FeedServerMemory::Module();
  const std::u16string url = u"http://rules.example/resting";
  memory.Rest(url, kNow + kHour, u"rate limited until 15:00");
  EXPECT_EQ(memory.Resting(url, kNow + kHour - 1), u"rate limited until 15:00");
  EXPECT_EQ(memory.Resting(url, kNow + kHour), std::nullopt);
  EXPECT_EQ(memory.Resting(u"http://rules.example/other", kNow), std::nullopt);

  EXPECT_EQ(memory.Target(url), url);
  memory.Moved(url, u"http://rules.example/new");
  memory.Moved(url, u"http://rules.example/newer");  // moved again from where it went
  EXPECT_EQ(memory.Target(url), u"http://rules.example/newer");
}

TEST(FeedCourtesyRulesTest, ACycleSendsBackOnlyTheValidatorsOfRecordsItHoldsAndPassesRefusedFeedsBy) {
  auto outcome = [](FeedState state, uint16_t status, std::string etag) {
    FeedOutcome o = state == FeedState::Ok ? OkOutcome(u"u", 1) : FailedOutcome(u"u", u"why");
    o.httpStatus = status;
    o.etag = std::move(etag);
    o.lastModified = "Tue, 03 Nov 2026 08:49:37 GMT";
    return std::make_shared<const FeedOutcome>(std::move(o));
  };
  const auto hints = CycleHints({outcome(FeedState::Ok, 304, "\"a\""), outcome(FeedState::Failed, 0, "\"b\""),
                                 outcome(FeedState::Failed, 410, ""), outcome(FeedState::Failed, 429, ""),
                                 std::make_shared<const FeedOutcome>(NotTriedOutcome(u"u"))},
                                kNow, kHour);
  ASSERT_EQ(hints.size(), 5u);
  EXPECT_EQ(hints[0].etag, "\"a\"");
  EXPECT_EQ(hints[0].lastModified, "Tue, 03 Nov 2026 08:49:37 GMT");
  EXPECT_TRUE(hints[0].skip.empty());
  EXPECT_TRUE(hints[1].etag.empty() && hints[1].lastModified.empty() && hints[1].skip.empty());
  EXPECT_EQ(hints[2].skip, kGoneReason);
  EXPECT_EQ(SkippedOutcome(u"u", hints[2]).httpStatus, 410);  // stays gone
  EXPECT_EQ(hints[3].skip, u"why");
  EXPECT_EQ(SkippedOutcome(u"u", hints[3]).httpStatus, 0);   // asked again once its rest is over
  EXPECT_TRUE(hints[4].etag.empty() && hints[4].skip.empty());
  EXPECT_EQ(hints[4].nextCycleAtMs, kNow + kHour);
}

TEST(FeedCourtesyRulesTest, ANotModifiedFeedKeepsItsRecordsInTheirPlace) {
  auto records = [](const std::u16string& feed, int count) {
    std::vector<FeedItem> list;
    for (int i = 0; i < count; ++i) list.push_back(FeedItem{u"", u"", feed + char16_t(u'0' + i), u"", u""});
    return list;
  };
  FeedStore store([] {});
  const uint64_t generation = store.Reset({u"a", u"b", u"c"});
  for (int cycle = 0; cycle < 3; ++cycle) {
    store.BeginCycle(generation);
    store.FeedDone(generation, 0, OkOutcome(u"a", 1), records(u"a", 1));
    FeedOutcome b = OkOutcome(u"b", 2);
    b.etag = "\"e\"";
    if (cycle > 0) {  // the store holds records now: b's answer is a bare 304
      b = OkOutcome(u"b", 0);
      b.httpStatus = 304;
    }
    store.FeedDone(generation, 1, std::move(b), cycle == 0 ? records(u"b", 2) : std::vector<FeedItem>{});
    store.FeedDone(generation, 2, OkOutcome(u"c", 1), records(u"c", 1));
    EXPECT_EQ(store.EndCycle(generation), 4u) << cycle;
  }
  std::vector<std::u16string> seen;
  for (int i = 0; i < 4; ++i) seen.push_back(store.Next().description);
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"a0", u"b0", u"b1", u"c0"}));
  const FeedOutcome& b = *store.Outcomes()->outcomes[1];
  EXPECT_EQ(b.recordCount, 2u);
  EXPECT_EQ(b.etag, "\"e\"");  // a 304 without validators keeps the ones it confirmed
  EXPECT_EQ(b.state, FeedState::Ok);
}

// A server whose feed is at edition "2" answers 304 to exactly its validator.
TEST(FeedCourtesyRulesTest, ACycleLeftPartWaySendsTheValidatorsOfTheRecordsStillShown) {
  FeedStore store([] {});
  const uint64_t generation = store.Reset({u"a", u"b"});
  auto answer = [&](size_t index, const std::string& etag, const std::u16string& headline) {
    FeedOutcome outcome = OkOutcome(index == 0 ? u"a" : u"b", 1);
    outcome.etag = etag;
    store.FeedDone(generation, index, std::move(outcome), {FeedItem{u"", u"", headline, u"", u""}});
  };
  store.BeginCycle(generation);
  answer(0, "\"1\"", u"a1");
  answer(1, "\"b\"", u"b");
  store.EndCycle(generation);
  // The next cycle reads edition 2 of a, then is given up (out of memory):
  // the store still shows edition 1.
  store.BeginCycle(generation);
  answer(0, "\"2\"", u"a2");

  store.BeginCycle(generation);
  const auto hints = CycleHints(store.Outcomes()->outcomes, kNow, kHour);
  if (hints[0].etag == "\"2\"") {
    FeedOutcome notModified = OkOutcome(u"a", 0);
    notModified.httpStatus = 304;
    store.FeedDone(generation, 0, std::move(notModified), {});
  } else {
    answer(0, "\"2\"", u"a2");
  }
  answer(1, "\"b\"", u"b");
  store.EndCycle(generation);
  EXPECT_EQ(store.Next().description, u"a2");
  EXPECT_EQ(store.Outcomes()->outcomes[0]->etag, "\"2\"");
}

}  // namespace
}  // namespace quorvane
