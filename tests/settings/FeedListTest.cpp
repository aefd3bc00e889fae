#include "settings/FeedList.h"

#include <gtest/gtest.h>

using quorvane::JoinFeedList;
using quorvane::SplitFeedList;
using Urls = std::vector<std::u16string>;

TEST(FeedList, SplitsOnSeparatorWithoutTrailingEmptyEntry) {
  EXPECT_EQ(SplitFeedList(u"a URL b URL "), (Urls{u"a", u"b"}));
  EXPECT_EQ(SplitFeedList(u"a URL b URL c"), (Urls{u"a", u"b", u"c"}));
  EXPECT_EQ(SplitFeedList(u"http://x/rss"), (Urls{u"http://x/rss"}));
  EXPECT_TRUE(SplitFeedList(u"").empty());
}

TEST(FeedList, LeadingSeparatorMakesTheWholeValueOneUrl) {
  EXPECT_EQ(SplitFeedList(u" URL a"), (Urls{u" URL a"}));
}

TEST(FeedList, DoubledSeparatorKeepsTheSecondInTheNextEntry) {
  EXPECT_EQ(SplitFeedList(u"a URL  URL b"), (Urls{u"a", u" URL b"}));
  EXPECT_EQ(SplitFeedList(u"a URL  URL b URL "), (Urls{u"a", u" URL b URL "}));
}

TEST(FeedList, KeepsUrlsAsTypedAndIsCaseSensitive) {
  EXPECT_EQ(SplitFeedList(u" a  URL b url c"), (Urls{u" a ", u"b url c"}));
}

TEST(FeedList, JoinSkipsEmptyEntriesAndRoundTrips) {
  EXPECT_EQ(JoinFeedList({u"a", u"", u"b"}), u"a URL b URL ");
  EXPECT_EQ(JoinFeedList({}), u"");
  const Urls urls{u"http://a/rss", u"http://b/rss", u"http://a/rss"};
  EXPECT_EQ(SplitFeedList(JoinFeedList(urls)), urls);
}
