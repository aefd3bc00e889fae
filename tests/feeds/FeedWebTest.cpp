// The real per-feed step and the fetcher against the local feed server
// (QUORVANE_FEED_SERVER, set by with_feed_server.sh).
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "FeedServer.h"
#include "PostCounter.h"
#include "feeds/FeedCycle.h"
#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedDownload.h"
#include "feeds/FeedFetcher.h"
#include "feeds/RecordText.h"
#include "feeds/WebFeedSource.h"
#include "win/com/Module.h"

namespace quorvane {
namespace {

using test::ElapsedMs;
using test::PostCounter;
using test::WaitUntil;

using test::FeedServer;
using test::ServerHits;

// The headline and channel title of the Cyrillic fixtures.
constexpr char16_t kCyrillicTitle[] = u"\x041f\x0440\x0438\x0432\x0435\x0442, \x043c\x0438\x0440";
constexpr char16_t kCyrillicFeedTitle[] = u"\x041d\x043e\x0432\x043e\x0441\x0442\x0438";

// Debug lines written while a test runs.
class DebugLines {
 public:
  DebugLines() {
    SetDebugSink([this](std::string_view line) {
      std::lock_guard<std::mutex> guard(lock_);
      lines_.emplace_back(line);
    });
  }
  ~DebugLines() { SetDebugSink({}); }
  std::vector<std::string> lines() {
    std::lock_guard<std::mutex> guard(lock_);
    return lines_;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> lines_;
};

class FeedWebTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }

  void SetUp() override {
    if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
    // A download an earlier test stopped may still be ending (within 15 s);
    // counted in the baseline, its end would read as this test's thread
    // never ending.
    const ULONGLONG start = GetTickCount64();
    while (LiveDownloadThreads() > 0) {
      ASSERT_LT(ElapsedMs(start), 15'000u) << "an earlier test's download never ended";
      Sleep(10);
    }
    baselineLocks_ = module::LockCount();
  }

  FeedResult Step(const std::u16string& path, uint32_t deadlineMs = 60'000) {
    return RunFeedStep(FeedServer() + path, source_, deadlineMs);
  }
  std::vector<FeedItem> Fetch(const std::u16string& path) { return Step(path).records; }
  // The record of a feed that has exactly one (an empty one, and a failure, otherwise).
  FeedItem Only(const std::u16string& path) {
    std::vector<FeedItem> records = Fetch(path);
    EXPECT_EQ(records.size(), 1u) << std::string(path.begin(), path.end());
    return records.size() == 1 ? records[0] : FeedItem{};
  }

  bool WorkersEnded(DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    while (module::LockCount() > baselineLocks_) {
      if (ElapsedMs(start) > timeoutMs) return false;
      Sleep(10);
    }
    return true;
  }

  std::shared_ptr<WebFeedSource> source_ = std::make_shared<WebFeedSource>();
  DebugLines debug_;
  LONG baselineLocks_ = 0;
};

std::vector<std::u16string> Titles(const std::vector<FeedItem>& records) {
  std::vector<std::u16string> titles;
  for (const auto& r : records) titles.push_back(r.title);
  return titles;
}

TEST_F(FeedWebTest, ChannelWithThreeItemsGivesThreeRecordsInOrder) {
  const auto records = Fetch(u"/feeds/rss2.xml");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (FeedItem{u"http://example.org/1?a=1&b=2", u"First headline", u"One bold start.",
                                  u"Quorvane & Friends", records[0].timeStamp}));
  EXPECT_EQ(records[1].title, u"Second headline");
  EXPECT_EQ(records[2].description, u"Third story, caf\x00e9 \x20AC.");
  EXPECT_TRUE(std::regex_match(std::string(records[0].timeStamp.begin(), records[0].timeStamp.end()),
                               std::regex("[0-2][0-9]:[0-5][0-9]")));
  for (const auto& record : records) {
    EXPECT_EQ(record.feedTitle, u"Quorvane & Friends");
    EXPECT_EQ(record.timeStamp, records[0].timeStamp);
  }
  EXPECT_TRUE(debug_.lines().empty());
}

TEST_F(FeedWebTest, ItemRulesFillDropAndFallBack) {
  const auto records = Fetch(u"/feeds/item-rules.xml");
  ASSERT_EQ(records.size(), 5u);  // empty and missing descriptions give none
  EXPECT_EQ(records[0].link, u"http://x/img");
  EXPECT_EQ(records[0].description, u"Feed not readable");
  EXPECT_EQ(records[1].title, u"<No Title>");  // empty title element
  EXPECT_EQ(records[2].title, u"");            // mark-up only: no second fallback
  EXPECT_EQ(records[3].title, u"<No Title>");  // no title element
  EXPECT_EQ(records[3].link, u"http://x/notitle");
  EXPECT_EQ(records[4].link, u"");             // no link element
  EXPECT_EQ(records[4].title, u"No link");
}

TEST_F(FeedWebTest, FirstTitleInsideAnItemNamesTheFeed) {
  const auto records = Fetch(u"/feeds/title-in-item.xml");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].feedTitle, u"Item one");
  EXPECT_EQ(records[1].feedTitle, u"Item one");
}

TEST_F(FeedWebTest, EscapedMarkupAndCharacterDataReachTheCleanupAsMarkup) {
  const auto records = Fetch(u"/feeds/escaped.xml");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].description, u"Hello there & more");
  EXPECT_EQ(records[1].description, u"Inside CDATA & text");
}

TEST_F(FeedWebTest, OlderAndRdfFeedsParse) {
  const FeedItem old = Only(u"/feeds/rss091.xml");  // DOCTYPE naming an external DTD
  EXPECT_EQ(old.title, u"Ol\x00e9 headline");
  EXPECT_EQ(old.feedTitle, u"Old Style");
  const auto rdf = Fetch(u"/feeds/rss10.rdf");
  EXPECT_EQ(Titles(rdf), (std::vector<std::u16string>{u"RDF one", u"RDF two"}));
  EXPECT_EQ(rdf[0].feedTitle, u"RDF Channel");
}

TEST_F(FeedWebTest, DeclaredAndMarkedEncodingsShowTheRightCharacters) {
  const FeedItem koi8 = Only(u"/feeds/koi8r.xml");
  EXPECT_EQ(koi8.title, kCyrillicTitle);
  EXPECT_EQ(koi8.feedTitle, kCyrillicFeedTitle);
  EXPECT_EQ(Only(u"/feeds/shiftjis.xml").description, u"\x6771\x4eac\x3067\x96e8\x3002");
  for (const char16_t* path : {u"/feeds/utf16le.xml", u"/feeds/utf16be.xml"}) {
    const FeedItem wide = Only(path);
    EXPECT_EQ(wide.title, u"\x00dc" u"ber \xD83D\xDE00");
    EXPECT_EQ(wide.description, u"Zw\x00f6lf \x0416.");
  }

  // ISO-8859-1 decodes as windows-1252.
  EXPECT_EQ(Only(u"/feeds/latin1.xml").description, u"Price \x20AC 5 caf\x00e9");
}

// Refused, not cut by the deadline: an expanding parse would run into it,
// however fast the machine.
TEST_F(FeedWebTest, HostileFeedsYieldNothingQuicklyAndFetchNothing) {
  for (const char16_t* path :
       {u"/feeds/hostile-external-entity.xml", u"/feeds/hostile-entity-bomb.xml", u"/feeds/hostile-entity-blowup.xml"}) {
    const std::u16string name(path);
    const FeedResult result = Step(name);
    EXPECT_TRUE(result.records.empty());
    EXPECT_NE(result.outcome.reason, u"timed out") << std::string(name.begin(), name.end());
  }
  // An external DTD is named but never read; the feed itself still parses.
  EXPECT_EQ(Fetch(u"/feeds/hostile-external-dtd.xml").size(), 1u);
  EXPECT_EQ(ServerHits(u"/canary/entity"), 0);
  EXPECT_EQ(ServerHits(u"/canary/dtd"), 0);
}

TEST_F(FeedWebTest, PlainInternalEntitiesStillParse) {
  const FeedItem declared = Only(u"/feeds/internal-entities.xml");
  EXPECT_EQ(declared.feedTitle, u"Quorvane News");
  EXPECT_EQ(declared.description, u"Declared by Quorvane News itself.");
}

TEST_F(FeedWebTest, FailedTextLoadLeavesNothingOfTheFeedBefore) {
  EXPECT_EQ(Fetch(u"/feeds/rss2.xml").size(), 3u);
  EXPECT_TRUE(Fetch(u"/feeds/malformed.xml").empty());
  EXPECT_TRUE(Fetch(u"/missing").empty());  // a 404's HTML body
}

TEST_F(FeedWebTest, RedirectsAndSlowServersStillDeliver) {
  EXPECT_EQ(Fetch(u"/redirect").size(), 3u);
  EXPECT_EQ(Fetch(u"/trickle?ms=5").size(), 3u);
}

TEST_F(FeedWebTest, ReadFailureAfterSomeChunksYieldsNothing) {
  EXPECT_TRUE(Fetch(u"/reset-mid-body").empty());
  EXPECT_EQ(debug_.lines(), std::vector<std::string>{"InternetReadFile failed\n"});
}

TEST_F(FeedWebTest, OversizedBodiesAreCutOffAndSkipped) {
  EXPECT_TRUE(Fetch(u"/large?mb=12").empty());
  EXPECT_TRUE(Fetch(u"/endless").empty());
  EXPECT_EQ(debug_.lines(), (std::vector<std::string>{"Feed larger than 8 MB skipped\n", "Feed larger than 8 MB skipped\n"}));
  EXPECT_FALSE(Fetch(u"/large?mb=7").empty());  // under the cap
}

TEST_F(FeedWebTest, UnreachableServerIsReportedAndSkipped) {
  EXPECT_TRUE(RunFeedStep(u"http://127.0.0.1:1/feed.xml", source_, 60'000).records.empty());
  EXPECT_EQ(debug_.lines(), std::vector<std::string>{"InternetConnectA failed\n"});
}

TEST_F(FeedWebTest, FetcherCommitsTheRecordsOfEveryFeedInListOrder) {
  PostCounter posts;
  auto fetcher = std::make_unique<FeedFetcher>(posts.window(), PostCounter::kMessage);
  fetcher->SetFeedList(FeedServer() + u"/feeds/rss10.rdf URL " + FeedServer() + u"/feeds/malformed.xml URL " + FeedServer() +
                       u"/feeds/title-in-item.xml URL ");
  ASSERT_TRUE(posts.WaitFor(3, 10000));  // two feeds into the empty store, the end of the cycle
  std::vector<std::u16string> titles;
  for (int i = 0; i < 5; ++i) titles.push_back(fetcher->NextItem().title);
  EXPECT_EQ(titles, (std::vector<std::u16string>{u"RDF one", u"RDF two", u"Item one", u"Item two", u"RDF one"}));
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded(5000));
}

// The stopped download owns its handles and sees its stop between calls;
// the network time-out bounds the call it sits in, so it ends on its own
// long before the server closes.
TEST_F(FeedWebTest, AStoppedDownloadEndsOnItsOwnWhileTheServerStaysSilent) {
  for (const char16_t* path : {u"/stall-mid-body?s=60", u"/silent?s=60"}) {
    PostCounter posts;
    auto fetcher = std::make_unique<FeedFetcher>(posts.window(), PostCounter::kMessage);
    const std::u16string route = std::u16string(path).substr(0, std::u16string(path).find(u'?'));
    const int before = ServerHits(route);
    fetcher->SetFeedList(FeedServer() + path);
    ASSERT_TRUE(WaitUntil([&] { return ServerHits(route) > before; })) << "the feed was never asked for";
    const ULONGLONG start = GetTickCount64();
    fetcher.reset();
    EXPECT_LT(ElapsedMs(start), 1000u);
    EXPECT_TRUE(WorkersEnded(15'000)) << std::string(route.begin(), route.end()) << ": the download outlived its stop";
    EXPECT_TRUE(debug_.lines().empty());  // a stop is no failure
    EXPECT_EQ(posts.Drain(), 0);
  }
}

TEST_F(FeedWebTest, SetFeedListAgainstAStalledServerReturnsWithinASecond) {
  PostCounter posts;
  auto fetcher = std::make_unique<FeedFetcher>(posts.window(), PostCounter::kMessage);
  const int before = ServerHits(u"/stall-after-headers");
  fetcher->SetFeedList(FeedServer() + u"/stall-after-headers?s=3");
  ASSERT_TRUE(WaitUntil([&] { return ServerHits(u"/stall-after-headers") > before; })) << "the feed was never asked for";
  const ULONGLONG start = GetTickCount64();
  fetcher->SetFeedList(FeedServer() + u"/feeds/rss2.xml");
  EXPECT_LT(ElapsedMs(start), 1000u);
  ASSERT_TRUE(posts.WaitFor(1, 10000));
  EXPECT_EQ(fetcher->NextItem().title, u"First headline");
  // The stalled download ended at the stop, or (when the stop found it
  // inside a read) was left to end on its own: either way later, without
  // committing or posting. The server's hit cannot tell the two apart.
  EXPECT_TRUE(WaitUntil([&] { return module::LockCount() <= baselineLocks_ + 1; }, 15'000))
      << "the abandoned download never ended";
  EXPECT_EQ(module::LockCount(), baselineLocks_ + 1);
  EXPECT_EQ(posts.Drain(), 2);  // the feed into the empty store, the end of the cycle
  EXPECT_EQ(fetcher->NextItem().title, u"Second headline");
  fetcher.reset();
  EXPECT_TRUE(WorkersEnded(2000));
}

TEST_F(FeedWebTest, AFeedThatNeverEndsIsCutAtItsDeadline) {
  const ULONGLONG start = GetTickCount64();
  const FeedResult result = Step(u"/drip?s=1", 1500);
  EXPECT_LT(ElapsedMs(start), 4000u);
  EXPECT_TRUE(result.records.empty());
  EXPECT_EQ(result.outcome.reason, u"timed out");
  const std::u16string server = FeedServer();
  const std::string url(server.begin(), server.end());
  EXPECT_EQ(debug_.lines(), std::vector<std::string>{url + "/drip?s=1: timed out\n"});
  EXPECT_TRUE(WorkersEnded(5000));  // the next byte ends the abandoned read
}

TEST_F(FeedWebTest, EachKindOfFailureHasItsReason) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"/missing", u"HTTP 404"},
      {u"/status?code=500", u"HTTP 500"},
      {u"/redirect-loop", u"too many redirects"},
      {u"/large?mb=12", u"larger than 8 MB"},
      {u"/reset-mid-body", u"download failed"},
      {u"/feeds/malformed.xml", u"XML error"},
      {u"/feeds/not-feed.html", u"not a feed (HTML page)"},
      // Shapes that took MSXML from tens of seconds to minutes, refused
      // before it sees them.
      {u"/shape?name=comment-run&kb=2", u"XML error: \"--\" inside a comment"},
      {u"/shape?name=attributes&kb=4", u"too many attributes on one element"},
      {u"/shape?name=namespaces&kb=4", u"too many namespace declarations on one element"},
  };
  for (const auto& [path, reason] : cases) {
    const FeedOutcome outcome = Step(path).outcome;
    EXPECT_EQ(outcome.state, FeedState::Failed) << std::string(path, path + std::char_traits<char16_t>::length(path));
    EXPECT_EQ(outcome.reason, reason) << std::string(path, path + std::char_traits<char16_t>::length(path));
  }
  EXPECT_EQ(RunFeedStep(u"http://127.0.0.1:1/x", source_, 60'000).outcome.reason, u"connection refused");
  // An empty feed was read: it only has nothing to show.
  const FeedOutcome empty = Step(u"/feeds/no-items.xml").outcome;
  EXPECT_EQ(empty.state, FeedState::Ok);
  EXPECT_EQ(empty.reason, u"no items");
  const FeedOutcome moved = Step(u"/redirect").outcome;
  EXPECT_EQ(moved.state, FeedState::Ok);
  EXPECT_EQ(moved.recordCount, 3u);
  EXPECT_EQ(moved.finalUrl, FeedServer() + u"/feeds/rss2.xml");
}

TEST_F(FeedWebTest, ARedirectLoopIsCutAfterTenRedirects) {
  const int before = ServerHits(u"/redirect-loop");
  EXPECT_EQ(Step(u"/redirect-loop?n=0").outcome.reason, u"too many redirects");
  EXPECT_EQ(ServerHits(u"/redirect-loop") - before, 11);
}

TEST_F(FeedWebTest, TheHeaderCharsetCountsOnlyWhenTheBodyNamesNone) {
  const FeedItem cyrillic = Only(u"/feeds/header-charset.xml?ctype=text/xml;%20charset=windows-1251");
  EXPECT_EQ(cyrillic.title, kCyrillicTitle);
  EXPECT_EQ(cyrillic.feedTitle, kCyrillicFeedTitle);
  // The declared encoding wins over the header.
  EXPECT_EQ(Only(u"/feeds/koi8r.xml?ctype=text/xml;%20charset=windows-1251").title, kCyrillicTitle);
}

TEST_F(FeedWebTest, NonAsciiAddressesAreSentAsUtf8PercentEncoding) {
  EXPECT_EQ(Only(u"/echo/\x00fc\x00f1\x00ed\x20ac/\x4e2d\x6587?q=\x00e9").description, u"/echo/%C3%BC%C3%B1%C3%AD%E2%82%AC/%E4%B8%AD%E6%96%87?q=%C3%A9");
}

TEST_F(FeedWebTest, APageThatNamesItsFeedIsReadThroughItOneStepOnly) {
  const FeedResult found = Step(u"/feeds/page-with-link.html");
  EXPECT_EQ(found.records.size(), 3u);
  EXPECT_EQ(found.outcome.state, FeedState::Ok);
  EXPECT_EQ(found.outcome.finalUrl, FeedServer() + u"/feeds/rss2.xml?a=1&b=2");

  const FeedOutcome self = Step(u"/feeds/page-self-link.html").outcome;
  EXPECT_EQ(self.reason, u"not a feed (HTML page)");
  EXPECT_EQ(ServerHits(u"/feeds/page-self-link.html"), 2);
}

// The parser takes minutes over this many unterminated comments: its
// reason would be the deadline's ("timed out"), however fast the machine.
TEST_F(FeedWebTest, UnterminatedCommentsAreRefusedBeforeTheParserSeesThem) {
  EXPECT_EQ(Step(u"/comment-bomb?n=160000").outcome.reason, u"XML error");
}

// A channel title of 256 KB over many items: one copy, cut at 64 K
// characters, shared by every record.
TEST_F(FeedWebTest, ALongFeedTitleIsCutAndStoredOnce) {
  const std::vector<FeedItem> records = Fetch(u"/long-title?kb=256&items=50");
  ASSERT_EQ(records.size(), 50u);
  EXPECT_EQ(records[0].feedTitle.size(), kMaxRecordTextChars);
  for (const FeedItem& record : records) EXPECT_EQ(record.feedTitle.str().data(), records[0].feedTitle.str().data());
}

// Whatever a feed is served as, it is read: older RSS with its doctype and a
// UTF-16 feed served as text/html are feeds, not pages.
TEST_F(FeedWebTest, FeedsServedAsHtmlAreRead) {
  EXPECT_EQ(Only(u"/feeds/rss091.xml?ctype=text/html").feedTitle, u"Old Style");
  EXPECT_EQ(Only(u"/feeds/utf16le.xml?ctype=text/html").description, u"Zw\x00f6lf \x0416.");
}

TEST_F(FeedWebTest, ARawUtf8LocationIsEncodedOnce) {
  EXPECT_EQ(Only(u"/redirect-raw").description, u"/echo/redir-%C3%BC%E2%82%AC");
}

// A page's feed link and a redirect are followed only to http and https.
TEST_F(FeedWebTest, OnlyWebAddressesAreFollowed) {
  EXPECT_EQ(Step(u"/page-ftp-link", 10'000).outcome.reason, u"not a feed (HTML page)");
  EXPECT_EQ(Step(u"/redirect-ftp", 10'000).outcome.reason, u"redirect to a non-web address");
}

}  // namespace
}  // namespace quorvane
