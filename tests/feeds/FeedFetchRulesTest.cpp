// The platform-neutral rules of fetching: pacing between cycles, addresses,
// discovery, the header charset and the pre-load refusal of open markup.
#include <gtest/gtest.h>

#include <string>

#include "feeds/CodePageDetection.h"
#include "feeds/EntityCheck.h"
#include "feeds/FeedDiscovery.h"
#include "feeds/FeedTiming.h"
#include "feeds/FeedUrl.h"
#include "feeds/MarkupShape.h"

namespace quorvane {
namespace {

constexpr uint32_t kHalfHour = 30 * 60'000;

TEST(DelayBeforeNextCycle, BacksOffWhileNothingIsShownAndKeepsTheFloor) {
  const FeedTiming timing;  // 15 s first back-off, 1 min floor
  const FeedTiming noFloor{.deadlineMs = 60'000, .cycleFloorMs = 0, .firstBackoffMs = 15'000};
  // 15 s, 30 s, 1 min, ... up to the interval.
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, kHalfHour, 1, 0), 15'000u);
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, kHalfHour, 2, 0), 30'000u);
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, kHalfHour, 3, 0), 60'000u);
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, kHalfHour, 8, 0), kHalfHour);
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, kHalfHour, 4'000'000'000u, 0), kHalfHour);
  EXPECT_EQ(DelayBeforeNextCycle(noFloor, 20'000, 2, 0), 20'000u);
  // Something shown: the interval, counted from the end of the cycle.
  EXPECT_EQ(DelayBeforeNextCycle(timing, kHalfHour, 0, 5'000), kHalfHour);
  // No cycle starts within a minute of the one before, interval 0 included.
  EXPECT_EQ(DelayBeforeNextCycle(timing, 0, 0, 5'000), 55'000u);
  EXPECT_EQ(DelayBeforeNextCycle(timing, 0, 1, 0), 60'000u);
  EXPECT_EQ(DelayBeforeNextCycle(timing, kHalfHour, 1, 50'000), 15'000u);  // the back-off is past the floor
  EXPECT_EQ(DelayBeforeNextCycle(timing, 0, 0, 90'000), 0u);
  EXPECT_EQ(DelayBeforeNextCycle(timing, UINT32_MAX, 0, 0), UINT32_MAX);
}

TEST(FeedUrl, NonAsciiIsPercentEncodedAsUtf8) {
  EXPECT_EQ(EncodeNonAsciiUrl(u"http://h/echo/\x00fc\x20ac/\x4e2d?q=\x00e9&r=a b"),
            u"http://h/echo/%C3%BC%E2%82%AC/%E4%B8%AD?q=%C3%A9&r=a b");
  EXPECT_EQ(EncodeNonAsciiUrl(u"/\xD83D\xDE00"), u"/%F0%9F%98%80");
  EXPECT_EQ(EncodeNonAsciiUrl(u"/\xD83D/\xDE00"), u"/%EF%BF%BD/%EF%BF%BD");  // lone surrogates
}

TEST(FeedUrl, ReferencesResolveAgainstTheirBase) {
  const std::u16string base = u"http://a/b/c/d;p?q";
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"g", u"http://a/b/c/g"},         {u"./g", u"http://a/b/c/g"},   {u"g/", u"http://a/b/c/g/"},
      {u"/g", u"http://a/g"},            {u"//g", u"http://g"},         {u"?y", u"http://a/b/c/d;p?y"},
      {u"g?y#s", u"http://a/b/c/g?y#s"}, {u"", u"http://a/b/c/d;p?q"}, {u"..", u"http://a/b/"},
      {u"../../../g", u"http://a/g"},    {u"/./g", u"http://a/g"},      {u"g/../h", u"http://a/b/c/h"},
      {u"https://x/y", u"https://x/y"},  {u"#f", u"http://a/b/c/d;p?q#f"},
  };
  for (const auto& [reference, expected] : cases)
    EXPECT_EQ(ResolveUrl(base, reference), expected) << std::string(reference, reference + std::char_traits<char16_t>::length(reference));
  EXPECT_EQ(ResolveUrl(u"http://h:81", u"feed.xml"), u"http://h:81/feed.xml");
  EXPECT_EQ(ResolveUrl(u"", u"../posts/1"), u"../posts/1");  // no base (a local file): kept as written
}

TEST(FeedDiscovery, TheFirstFeedLinkOfAPageIsFound) {
  const std::string page =
      "<!DOCTYPE html><html><head><!-- <link rel=alternate type=application/rss+xml href=old.xml> -->"
      "<script>var s = '<link rel=\"alternate\" type=\"application/rss+xml\" href=\"js.xml\">';</script>"
      "<link rel=\"alternate\" type=\"text/html\" href=\"page.html\">"
      "<link rel=\"alternate\" href=\"no-type.xml\">"
      "<link href='/f?a=1&amp;b=2' TYPE='Application/Atom+XML' rel='home ALTERNATE'>"
      "<link rel=alternate type=application/rss+xml href=second.xml>";
  EXPECT_EQ(FindFeedLink(page), u"/f?a=1&b=2");
  EXPECT_EQ(FindFeedLink("<link rel=alternate type=application/rss+xml href=\"caf\xC3\xA9.xml\">"), u"caf%C3%A9.xml");
  EXPECT_EQ(FindFeedLink("<html><link rel=alternate type=application/rss+xml></html>"), std::nullopt);
  EXPECT_EQ(FindFeedLink("<html><link rel=\"alternate\" type=\"application/rss+xml\" href=\"x"), u"x");
  EXPECT_EQ(FindFeedLink(std::string(100'000, '<') + "<!--"), std::nullopt);
}

TEST(FeedDiscovery, PagesAreToldFromFeeds) {
  EXPECT_TRUE(IsHtmlPage("application/xml", u"\xFEFF <!-- x --><!DOCTYPE HTML><html>"));
  EXPECT_TRUE(IsHtmlPage("", u"<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"));
  EXPECT_TRUE(IsHtmlPage("text/html; charset=utf-8", u"<head><title>x</title>"));
  EXPECT_FALSE(IsHtmlPage("text/html", u"<?xml version=\"1.0\"?><rss version=\"2.0\"/>"));  // a feed sent as HTML
  EXPECT_FALSE(IsHtmlPage("text/html", u"<rss version=\"2.0\"/>"));
  EXPECT_FALSE(IsHtmlPage("application/rss+xml", u"<rss><channel><title>html</title></channel></rss>"));
  EXPECT_FALSE(IsHtmlPage("text/xml", u"<htmlx/>"));
}

// Any feed is a feed whatever it is served as: older RSS with its doctype,
// RDF and Atom too.
TEST(FeedDiscovery, FeedRootsAreFeedsWhateverTheirContentType) {
  EXPECT_FALSE(IsHtmlPage("text/html", u"<?xml version=\"1.0\"?>\n<!DOCTYPE rss PUBLIC \"-//x//DTD RSS 0.91//EN\"\n"
                                       u" \"http://x/rss-0.91.dtd\" [<!-- don't --> <!ENTITY a \"]>\">]>\n<rss version=\"0.91\">"));
  EXPECT_FALSE(IsHtmlPage("text/html", u"<!-- x --><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"));
  EXPECT_FALSE(IsHtmlPage("text/html; charset=utf-16", u"\xFEFF<?xml version=\"1.0\"?><feed xmlns=\"http://www.w3.org/2005/Atom\">"));
  EXPECT_TRUE(IsHtmlPage("text/html", u"<!DOCTYPE html><title>x</title>"));
  EXPECT_TRUE(IsHtmlPage("text/html", u"<!DOCTYPE rss"));  // never gets to a root
}

TEST(FeedUrl, HeaderBytesAreTakenAsUtf8AndEncodedOnce) {
  EXPECT_EQ(EncodeNonAsciiBytes("/echo/redir-\xC3\xBC\xE2\x82\xAC?a=%C3%A9"), u"/echo/redir-%C3%BC%E2%82%AC?a=%C3%A9");
  EXPECT_EQ(EncodeNonAsciiBytes("/caf\xE9"), u"/caf%E9");  // not UTF-8: still the bytes the server sent
}

TEST(FeedUrl, OnlyWebAddressesAreFollowed) {
  EXPECT_TRUE(IsWebUrl(u"http://h/f.xml"));
  EXPECT_TRUE(IsWebUrl(u"HTTPS://h/f.xml"));
  EXPECT_FALSE(IsWebUrl(u"ftp://h/f.xml"));
  EXPECT_FALSE(IsWebUrl(u"file:///c:/f.xml"));
  EXPECT_FALSE(IsWebUrl(u"/relative/f.xml"));
  EXPECT_FALSE(IsWebUrl(u""));
}

TEST(HeaderCharset, CountsOnlyWhenTheBodyNamesNoEncoding) {
  EXPECT_EQ(CharsetOfContentType("text/xml; charset=windows-1251"), "windows-1251");
  EXPECT_EQ(CharsetOfContentType("text/xml;CHARSET=\"koi8-r\"; q=1"), "koi8-r");
  EXPECT_EQ(CharsetOfContentType("text/xml; format=charset=x"), "");
  EXPECT_EQ(CharsetOfContentType("text/xml"), "");
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\"?><rss/>", "windows-1251"), 1251u);
  EXPECT_EQ(DetectCodePage("<rss/>", "cp1251"), 1251u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"koi8-r\"?>", "windows-1251"), 20866u);
  EXPECT_EQ(DetectCodePage("\xEF\xBB\xBF<?xml version=\"1.0\"?>", "windows-1251"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\"?><rss/>", "x-unknown"), kCodePageUtf8);
}

std::u16string Repeated(std::u16string_view piece, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(CheckMarkupShape, OpenCommentsSectionsAndInstructionsAreRefused) {
  EXPECT_EQ(CheckMarkupShape(u"<rss><!-- x"), MarkupShape::kUnterminated);
  EXPECT_EQ(CheckMarkupShape(u"<rss><![CDATA[ x </rss>"), MarkupShape::kUnterminated);
  EXPECT_EQ(CheckMarkupShape(u"<rss><?pi </rss>"), MarkupShape::kUnterminated);
  EXPECT_EQ(CheckMarkupShape(u"<?xml version='1.0'?><rss><!-- a <! b --><![CDATA[<!--]]><a>&lt;!--</a></rss>"),
            MarkupShape::kFine);
}

// The shapes that took MSXML tens of seconds although each closes properly.
TEST(CheckMarkupShape, QuadraticShapesAreRefused) {
  EXPECT_EQ(CheckMarkupShape(u"<rss>" + Repeated(u"<!--", 160'000)), MarkupShape::kUnterminated);
  EXPECT_EQ(CheckMarkupShape(u"<rss>" + Repeated(u"<!--", 160'000) + u"--></rss>"), MarkupShape::kBrokenComment);
  EXPECT_EQ(CheckMarkupShape(u"<rss><!-- a -- b --></rss>"), MarkupShape::kBrokenComment);
  EXPECT_EQ(CheckMarkupShape(u"<rss><!-- a ---></rss>"), MarkupShape::kBrokenComment);
  // " a0='>' a1='>' ..." or " xmlns:a0='>' ...": quoted values may hold '>'.
  auto attributes = [](int count, std::u16string_view prefix) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
      const std::string digits = std::to_string(i);
      text += u" " + std::u16string(prefix) + u"a" + std::u16string(digits.begin(), digits.end()) + u"='>'";
    }
    return text;
  };
  EXPECT_EQ(CheckMarkupShape(u"<rss" + attributes(257, u"") + u"/>"), MarkupShape::kTooManyAttributes);
  EXPECT_EQ(CheckMarkupShape(u"<rss><channel" + attributes(65, u"xmlns:") + u">"), MarkupShape::kTooManyNamespaces);
  // As many as real feeds carry, spread over elements, are fine.
  EXPECT_EQ(CheckMarkupShape(u"<rss" + attributes(200, u"") + u"><item" + attributes(200, u"") + u"/></rss>"),
            MarkupShape::kFine);
  EXPECT_EQ(CheckMarkupShape(u"<rss xmlns='urn:a' xmlns:b=\"urn:b\"><b:x/></rss>"), MarkupShape::kFine);
  // Elements and attributes of a few bytes each: MSXML's time per node adds up.
  const std::u16string items = Repeated(u"<item a='1'><description>x</description></item>", kMaxElementsAndAttributes / 3);
  EXPECT_EQ(CheckMarkupShape(u"<rss>" + items + u"</rss>"), MarkupShape::kTooManyNodes);
  EXPECT_EQ(CheckMarkupShape(items), MarkupShape::kFine);
}

}  // namespace
}  // namespace quorvane
