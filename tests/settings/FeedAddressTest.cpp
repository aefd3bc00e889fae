#include "settings/FeedAddress.h"

#include <gtest/gtest.h>

#include "settings/FeedList.h"

namespace quorvane {
namespace {

std::u16string Completed(std::u16string_view typed) {
  const FeedAddress address = CheckFeedAddress(typed, true);
  EXPECT_EQ(address.fault, FeedAddressFault::kNone) << std::string(address.problem.begin(), address.problem.end());
  return address.url;
}

FeedAddressFault Fault(std::u16string_view typed, bool requireDot = true) {
  const FeedAddress address = CheckFeedAddress(typed, requireDot);
  EXPECT_TRUE(address.url.empty());
  EXPECT_EQ(address.problem.empty(), address.fault == FeedAddressFault::kNone);
  return address.fault;
}

TEST(FeedAddress, CompletesAsAnAddressBarDoes) {
  EXPECT_EQ(Completed(u"localhost:8765/atom.xml"), u"http://localhost:8765/atom.xml");
  EXPECT_EQ(Completed(u"  example.org/rss?a=1 \t"), u"http://example.org/rss?a=1");
  EXPECT_EQ(Completed(u"HTTPS://Example.org/Feed"), u"https://Example.org/Feed");
  EXPECT_EQ(Completed(u"http://127.0.0.1:1/a.xml"), u"http://127.0.0.1:1/a.xml");
  EXPECT_EQ(Completed(u"feed://example.org/rss"), u"http://example.org/rss");
  EXPECT_EQ(Completed(u"FEED:https://example.org/rss"), u"https://example.org/rss");
  EXPECT_EQ(CheckFeedAddress(u"http://b/").url, u"http://b/") << "no dot asked for";
}

TEST(FeedAddress, RefusesWhatCannotBeReadNamingItAndWhy) {
  EXPECT_EQ(Fault(u"not a url"), FeedAddressFault::kWhiteSpace);
  EXPECT_EQ(Fault(u"http://a.example/x URL http://b.example/"), FeedAddressFault::kWhiteSpace);
  EXPECT_EQ(Fault(u"http://a.example/\u00a0x"), FeedAddressFault::kWhiteSpace);
  EXPECT_EQ(Fault(u"ftp://example.org/rss.xml"), FeedAddressFault::kScheme);
  EXPECT_EQ(Fault(u"javascript:alert(1).x"), FeedAddressFault::kScheme);
  EXPECT_EQ(Fault(u"C:\\feeds\\news.xml"), FeedAddressFault::kScheme);
  EXPECT_EQ(Fault(u"feed:ftp://example.org/rss"), FeedAddressFault::kScheme);
  EXPECT_EQ(Fault(u"http:example.org"), FeedAddressFault::kNoHost);
  EXPECT_EQ(Fault(u"https:///a.xml"), FeedAddressFault::kNoHost);
  EXPECT_EQ(Fault(u"localhost"), FeedAddressFault::kNoDot);
  EXPECT_EQ(Fault(u" \t"), FeedAddressFault::kEmpty);

  EXPECT_EQ(CheckFeedAddress(u"ftp://example.org/x").problem,
            u"\"ftp://example.org/x\" is not a feed address: only http and https addresses can be read, not ftp.");
  EXPECT_EQ(CheckFeedAddress(u"not a url").problem, u"\"not a url\" is not a feed address: it contains white space.");
}

TEST(FeedAddress, ImportCompletesAddsAndSaysWhyItSkips) {
  const FeedListMerge merge = MergeFeeds(
      {u"http://a.example/rss"}, {{u"A again", u" a.example/rss "}, {u"B", u"feed://b.example/rss"},
                                   {u"", u"c.example/rss"}, {u"B twice", u"http://b.example/rss"},
                                   {u"Bad", u"gopher://d.example/"}});
  EXPECT_EQ(merge.urls, (std::vector<std::u16string>{u"http://a.example/rss", u"http://b.example/rss",
                                                       u"http://c.example/rss"}));
  ASSERT_EQ(merge.added.size(), 2u);
  EXPECT_EQ(merge.added[0].title, u"B");
  EXPECT_EQ(merge.added[0].url, u"http://b.example/rss");
  EXPECT_EQ(merge.alreadyListed, 2u);
  ASSERT_EQ(merge.refused.size(), 1u);
  EXPECT_NE(merge.refused[0].find(u"gopher://d.example/"), std::u16string::npos);
  EXPECT_EQ(merge.Skipped(), 3u);
}

}  // namespace
}  // namespace quorvane
