#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "PatternTestUtil.h"
#include "text/EntityTable.h"
#include "text/HeadlineCleanup.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

std::u16string Clean(std::u16string text) {
  CleanHeadlineText(text);
  return text;
}

TEST(WideStringOps, ReplaceLiteral) {
  std::u16string s = u"aaaa";
  ReplaceLiteral(s, u"aa", u"b");
  EXPECT_EQ(s, u"bb");
  s = u"aaa";
  ReplaceLiteral(s, u"aa", u"b");  // no overlap
  EXPECT_EQ(s, u"ba");
  s = u"aXa";
  ReplaceLiteral(s, u"a", u"aa");  // inserted text is not searched again
  EXPECT_EQ(s, u"aaXaa");
  s = u"abc";
  ReplaceLiteral(s, u"", u"x");
  ReplaceLiteral(s, u"abcd", u"x");
  EXPECT_EQ(s, u"abc");
  s = u"&AMP;&amp;";
  ReplaceLiteral(s, u"&amp;", u"&");  // exact code units
  EXPECT_EQ(s, u"&AMP;&");
}

TEST(WideStringOps, Strip) {
  std::u16string s = u" - a - b - ";
  StripTrailing(s, u" -");
  EXPECT_EQ(s, u" - a - b");
  StripLeading(s, u" -");
  EXPECT_EQ(s, u"a - b");
  s = u"-- --";
  StripTrailing(s, u" -");
  EXPECT_EQ(s, u"");
  StripLeading(s, u" -");
  EXPECT_EQ(s, u"");
}

TEST(HeadlineCleanup, MarkupAndCdata) {
  EXPECT_EQ(Clean(u""), u"");
  EXPECT_EQ(Clean(u" -\t\r\n - \n"), u"");
  EXPECT_EQ(Clean(u"<![CDATA[Hello]]>"), u"Hello]]>");
  EXPECT_EQ(Clean(u"<![CDATA[Hello]]> world"), u"Hello world");
  EXPECT_EQ(Clean(u"Read <a href=x.html>more</a> now"), u"Read now");
  EXPECT_EQ(Clean(u"Read <A HREF=x.html>more</A> now"), u"Read more now");
  EXPECT_EQ(Clean(u"<table border=0><tr><td>A</td></tr></table>B"), u"B");
  EXPECT_EQ(Clean(u"<table><tr><td>A</td></tr></table>B"), u"A B");
  EXPECT_EQ(Clean(u"x<a title=t href=\"u\">link\n text</a>y"), u"x y");
  EXPECT_EQ(Clean(u"<p\nclass=x>para</p><!-- c --><br/>end"), u"para end");
  EXPECT_EQ(Clean(u"a < b"), u"a < b");
  EXPECT_EQ(Clean(u"a < b <i>c"), u"a c");  // the tag runs from the first "<"
}

TEST(HeadlineCleanup, EntitiesAfterTags) {
  EXPECT_EQ(Clean(u"1 &lt; 2"), u"1 < 2");
  EXPECT_EQ(Clean(u"&lt;b&gt;bold&lt;/b&gt;"), u"<b>bold</b>");
  EXPECT_EQ(Clean(u"&amp;lt;"), u"<");
  EXPECT_EQ(Clean(u"&amp;nbsp;"), u"&nbsp;");
  EXPECT_EQ(Clean(u"&amp;quot;"), u"\"");
  EXPECT_EQ(Clean(u"&mdash;"), u"");  // a hyphen alone is trimmed away
  EXPECT_EQ(Clean(u"a&mdash;b&mdashc"), u"a-b-c");
  EXPECT_EQ(Clean(u"a &ndash;&ndash; b"), u"a - b");
  EXPECT_EQ(Clean(u"&eacute;t&eacute; &#233;"), u"&eacute;t&eacute; &#233;");
  EXPECT_EQ(Clean(u"&#xa0;&#x3C;&#x0d;"), u"&#xa0;&#x3C;&#x0d;");  // exact forms only
}

TEST(HeadlineCleanup, EveryEntityRowInOrder) {
  for (const EntityRow& row : kEntityRows) {
    const std::u16string search(row.search);
    EXPECT_EQ(Clean(u"x" + search + u"y"), u"x" + std::u16string(row.insert) + u"y")
        << test::Narrow(search);
  }
  // Row order: "&amp;" (21) produces text that later rows decode, but
  // not rows that have already run.
  EXPECT_EQ(Clean(u"&amp;gt;&amp;#8220;&amp;rdquo;"), u">\"&rdquo;");
  EXPECT_EQ(Clean(u"&amp;#x26;lt;"), u"<");
  EXPECT_EQ(Clean(u"&#x26;amp;"), u"&amp;");
}

TEST(HeadlineCleanup, RunsTrimAndSeparators) {
  EXPECT_EQ(Clean(u"News | Site"), u"News , Site");
  EXPECT_EQ(Clean(u"a,,,b||c"), u"a,b,c");
  EXPECT_EQ(Clean(u"Line one\r\nLine two"), u"Line one Line two");
  EXPECT_EQ(Clean(u"Title - - - More"), u"Title - More");
  EXPECT_EQ(Clean(u"--- Title ---"), u"Title");
  EXPECT_EQ(Clean(u"a -- - b"), u"a - b");
  EXPECT_EQ(Clean(u"  a\t\tb  "), u"a b");
}

TEST(HeadlineCleanup, HostileMarkupIsHandledCompletely) {
  std::u16string anchors, opens, tables, mixed;
  for (int i = 0; i < 20000; ++i) {
    anchors += u"<a href=x>";
    opens += u"<";
    tables += u"<table x";
    mixed += u"<a";
  }
  // No "</a>": step 4 finds nothing and the tags go one by one.
  EXPECT_EQ(Clean(anchors), u"");
  EXPECT_EQ(Clean(opens), opens);
  EXPECT_EQ(Clean(tables), tables);
  // Many anchor starts share one far-away "href=" that fails.
  EXPECT_EQ(Clean(mixed + u" href= >t</a>z"), u"t z");
  EXPECT_EQ(Clean(mixed + u" href=u>t</a>z"), u"z");
}

TEST(HeadlineCleanup, TextsThatWouldTakeExponentialTime) {
  // Each line feed matches both alternatives of step 5's loop body: a
  // plain backtracking search tries 2^n ways before giving up on the "<".
  EXPECT_EQ(Clean(u"a <" + std::u16string(5000, u'\n') + u"b"), u"a < b");
  // A single tag as long as a whole article.
  EXPECT_EQ(Clean(u"x<" + std::u16string(1000000, u'y') + u">z"), u"x z");
}

TEST(HeadlineCleanup, ConcurrentCallsAgree) {
  const std::u16string input =
      u"<![CDATA[<p>Breaking &amp; news</p> <a href=u>x</a> - - more|less]]> ";
  const std::u16string expected = Clean(input);
  EXPECT_EQ(expected, u"Breaking & news - more,less");
  std::vector<std::thread> threads;
  std::vector<int> ok(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) ok[t] += Clean(input) == expected;
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(ok[t], 300);
}

}  // namespace
}  // namespace quorvane
