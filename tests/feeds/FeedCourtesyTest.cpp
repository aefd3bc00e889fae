// The fetcher against the local feed server's polite and refusing routes,
// over several cycles: what every request carries, what a repeat asks for,
// and which feeds are not asked again. The server records every request.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "FeedServer.h"
#include "PostCounter.h"
#include "feeds/FeedCycle.h"
#include "feeds/FeedFetcher.h"
#include "feeds/FeedTiming.h"
#include "text/Utf8.h"

namespace quorvane {
namespace {

using test::FeedServer;
using test::PostCounter;
using test::ServerHits;

// The server's page at `path` (e.g. "/requests?path=/cookie"), one string per line.
std::vector<std::string> ServerLines(const std::u16string& path) {
  const std::u16string url = FeedServer() + path;
  UniqueInternetHandle session(InternetOpenW(L"QuorvaneRSS tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  UniqueInternetHandle request(session ? InternetOpenUrlW(session.get(), reinterpret_cast<const wchar_t*>(url.c_str()),
                                                          nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                       : nullptr);
  std::string body;
  char buffer[4096];
  DWORD read = 0;
  while (request && InternetReadFile(request.get(), buffer, sizeof(buffer), &read) && read) body.append(buffer, read);
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = body.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(body.substr(at, end - at));
  return lines;
}

// What the server recorded of the requests for `path`, as JSON lines.
std::vector<std::string> Requests(const std::u16string& path) { return ServerLines(u"/requests?path=" + path); }

bool Has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

class FeedCourtesyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
  void SetUp() override {
    if (FeedServer().empty()) GTEST_SKIP() << "QUORVANE_FEED_SERVER is not set";
    // Cycles as close together as the worker allows.
    SetFeedTiming({.deadlineMs = 60'000, .cycleFloorMs = 300, .firstBackoffMs = 0});
  }
  void TearDown() override { SetFeedTiming({}); }

  // Starts a fetcher on `paths` and pumps until `path` has had `hits` requests.
  void RunUntil(const std::vector<std::u16string>& paths, const std::u16string& path, int hits) {
    std::u16string list;
    for (const auto& p : paths) list += FeedServer() + p + u" URL ";
    fetcher_ = std::make_unique<FeedFetcher>(posts_.window(), PostCounter::kMessage);
    fetcher_->SetRefreshIntervalMs(0);
    const int before = ServerHits(path);
    fetcher_->SetFeedList(list);
    const ULONGLONG start = GetTickCount64();
    bool setAgain = false;
    while (ServerHits(path) < hits) {
      // A host sets the same list again (from its state, then at its start):
      // that must not cost the servers a whole download.
      if (!setAgain && ServerHits(path) > before) {
        fetcher_->SetFeedList(list);
        setAgain = true;
      }
      ASSERT_LT(GetTickCount64() - start, 60'000u) << "fewer than " << hits << " cycles asked for " << Utf16ToUtf8(path);
      posts_.WaitFor(posts_.count() + 1, 200);
    }
  }
  FeedOutcome Outcome(size_t index) { return fetcher_->Outcomes().at(index); }

  PostCounter posts_;
  std::unique_ptr<FeedFetcher> fetcher_;
};

TEST_F(FeedCourtesyTest, RepeatsAreConditionalAndRefusedFeedsAreLeftAlone) {
  const int editionsBefore = std::max(ServerHits(u"/changing"), 0);
  RunUntil({u"/validated/rss2.xml", u"/validated/atom.xml?etag=0", u"/status?code=429&retry-after=3600",
            u"/status?code=410", u"/moved?code=301&to=/feeds/rss091.xml", u"/cookie", u"/changing"},
           u"/validated/rss2.xml", 4);
  // The outcomes of a cycle that has ended: the next one may be under way.
  const FeedOutcome rss = Outcome(0), atom = Outcome(1), limited = Outcome(2), gone = Outcome(3), moved = Outcome(4),
                    changing = Outcome(6);
  std::vector<std::u16string> links;
  for (int i = 0; i < 40; ++i) links.push_back(fetcher_->NextItem().link);
  fetcher_.reset();

  // Every request names the gadget and asks for compression.
  for (const std::string& line : ServerLines(u"/requests")) {
    EXPECT_TRUE(Has(line, "\"User-Agent\": \"QuorvaneRSS/") && Has(line, "(desktop news gadget)")) << line;
    EXPECT_TRUE(Has(line, "\"Accept-Encoding\": \"gzip, deflate\"")) << line;
    EXPECT_FALSE(Has(line, "\"Cookie\"")) << line;
  }
  // The first answer was read (gzipped: the server compresses whatever asks
  // for it); every repeat sends its validators back exactly and gets a 304.
  for (const char16_t* path : {u"/validated/rss2.xml", u"/validated/atom.xml"}) {
    const std::vector<std::string> asked = Requests(path);
    ASSERT_GE(asked.size(), 2u);
    EXPECT_FALSE(Has(asked[0], "If-")) << asked[0];
    for (size_t i = 1; i < asked.size(); ++i) {
      EXPECT_TRUE(Has(asked[i], "\"If-Modified-Since\": \"Tue, 03 Nov 2026 08:49:37 GMT\"")) << asked[i];
      EXPECT_EQ(Has(asked[i], "\"If-None-Match\": \"\\\"v-"), path == std::u16string(u"/validated/rss2.xml")) << asked[i];
      EXPECT_TRUE(Has(asked[i], "\"status\": 304") || i + 1 == asked.size()) << asked[i];  // the last may be under way
    }
  }
  EXPECT_EQ(rss.state, FeedState::Ok);
  EXPECT_EQ(rss.reason, u"not modified");
  EXPECT_EQ(rss.recordCount, 3u);
  EXPECT_TRUE(rss.etag.starts_with("\"v-")) << rss.etag;
  EXPECT_EQ(atom.recordCount, 6u);
  // The Atom feed's records, kept through its 304s, are still shown.
  const std::u16string atomLink = FeedServer() + u"/posts/1?x=1#c";
  EXPECT_NE(std::find(links.begin(), links.end(), atomLink), links.end());

  // Refused and gone feeds are asked once; a moved one is asked where it went.
  EXPECT_EQ(Requests(u"/status").size(), 2u);
  EXPECT_TRUE(std::regex_match(Utf16ToUtf8(limited.reason), std::regex("rate limited until [0-2][0-9]:[0-5][0-9]")))
      << Utf16ToUtf8(limited.reason);
  EXPECT_EQ(gone.reason, u"gone (HTTP 410)");
  EXPECT_EQ(ServerHits(u"/moved"), 1);
  EXPECT_GE(ServerHits(u"/feeds/rss091.xml"), 3);
  EXPECT_EQ(moved.reason, u"moved permanently to " + FeedServer() + u"/feeds/rss091.xml");
  EXPECT_EQ(moved.state, FeedState::Ok);
  // A feed marked fresh for an hour still shows its new edition at the next
  // cycle: nothing came from a cache.
  const std::string title = Utf16ToUtf8(changing.feedTitle);
  ASSERT_TRUE(title.starts_with("Lindmere tides, edition ")) << title;
  EXPECT_GE(std::stoi(title.substr(24)), editionsBefore + 2) << title;
}

// The validators belong to the answer that carried the records: the page a
// feed was found on gets none of them, so a page that has not changed since
// the feed did cannot answer for the feed with a 304.
TEST_F(FeedCourtesyTest, AFeedFoundOnAPageIsAskedForInEveryCycle) {
  const int feedBefore = std::max(ServerHits(u"/validated/rss2.xml"), 0);
  RunUntil({u"/validated/page-with-link.html"}, u"/validated/page-with-link.html", 3);
  fetcher_.reset();
  // Two cycles have ended; the third may still be under way.
  EXPECT_GE(ServerHits(u"/validated/rss2.xml") - feedBefore, 2);
  const std::vector<std::string> pages = Requests(u"/validated/page-with-link.html");
  for (const std::string& line : pages) EXPECT_FALSE(Has(line, "\"status\": 304")) << line;
}

}  // namespace
}  // namespace quorvane
