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
  EXPECT_EQ(Clean(u"Read <A HREF=x.html>more</A> now"), u"Read more now");
  EXPECT_EQ(Clean(u"<table border=0><tr><td>A</td></tr></table>B"), u"B");
  EXPECT_EQ(Clean(u"<table><tr><td>A</td></tr></table>B"), u"A B");
  EXPECT_EQ(Clean(u"<p\nclass=x>para</p><!-- c --><br/>end"), u"para end");
  EXPECT_EQ(Clean(u"a < b"), u"a < b");
  EXPECT_EQ(Clean(u"a < b <p>c"), u"a c");  // the tag runs from the first "<"
  EXPECT_EQ(Clean(u"a < b <i>c"), u"a < b c");  // an inline tag goes first
}

TEST(HeadlineCleanup, AnchorsKeepTheirText) {
  EXPECT_EQ(Clean(u"Read <a href=x.html>more</a> now"), u"Read more now");
  EXPECT_EQ(Clean(u"x<a title=t href=\"u\">link\n text</a>y"), u"xlink texty");
  EXPECT_EQ(Clean(u"on the <a href=\"u\"><b>Main</b> Street</a>."), u"on the Main Street.");
  EXPECT_EQ(Clean(u"<a name=top></a>Top <A\nHREF='u'>Up</A >"), u"Top Up");
}

TEST(HeadlineCleanup, InlineTagsJoinTheirText) {
  EXPECT_EQ(Clean(u"re<b>pair</b>s<em>,</em> done"), u"repairs, done");
  EXPECT_EQ(Clean(u"<STRONG>S</Strong>ale, 1<sup>st</sup> H<sub>2</sub>O"), u"Sale, 1st H2O");
  EXPECT_EQ(Clean(u"a<span\tclass=x>b</span\n>c<i/>d<u\r>e<wbr>f<q\n\nx>g"), u"abcdefg");
  // Not one of the names, or not followed by ">", white space or "/".
  EXPECT_EQ(Clean(u"a<br>b<bx>c<b-x>d<blockquote>e<b\fx>f"), u"a b c d e f");
  EXPECT_EQ(Clean(u"a<//b>b<p>c"), u"a b c");
  EXPECT_EQ(Clean(u"a <b c"), u"a <b c");  // no ">": no tag
}

TEST(HeadlineCleanup, ReferencesWithAndWithoutSemicolon) {
  EXPECT_EQ(Clean(u"&eacute;t&eacute; &#233;&#xE9;&#Xe9; &#233 &#xe9x"),
            u"\u00e9t\u00e9 \u00e9\u00e9\u00e9 \u00e9 \u00e9x");
  // Without ";" only the legacy names count, the longest that fits.
  EXPECT_EQ(Clean(u"&eacute &copy2026 &notin; &notin &notit; &hellip &hellip;"),
            u"\u00e9 \u00a92026 \u2209 \u00acin \u00acit; &hellip \u2026");
  EXPECT_EQ(Clean(u"&AMP; &Amp; &NotEqualTilde; &Afr;"), u"& &Amp; \u2242\u0338 \U0001D504");
  EXPECT_EQ(Clean(u"&#; &#x; &; & &&"), u"&#; &#x; &; & &&");
  // Decoded before the line-break rows; "|" after its row.
  EXPECT_EQ(Clean(u"a&#10;b&#x9;c&NewLine;d&Tab;e&#0013;f"), u"a b c d e f");
  EXPECT_EQ(Clean(u"a|b&#124;c&vert;d"), u"a,b|c|d");
}

TEST(HeadlineCleanup, NumericReferenceEdgeValues) {
  EXPECT_EQ(Clean(u"&#0;&#xD800;&#xDFFF;&#x110000;&#99999999999999999999;"),
            u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Clean(u"&#x10FFFD;&#xFFFD;"), u"\U0010FFFD\uFFFD");
  // windows-1252 for 0x80-0x9F, as html.unescape reads them (0x81 stays).
  EXPECT_EQ(Clean(u"&#128;&#x9F;&#x93;&#x81;"), u"\u20AC\u0178\u201C\u0081");
  // Other control characters and noncharacters are dropped.
  EXPECT_EQ(Clean(u"a&#1;&#x7F;&#11;&#xFDD0;&#xFFFE;&#x1FFFF;&#x10FFFF;b"), u"ab");
  // The table's exact forms first ("&#xA0;"), the rest decoded after.
  EXPECT_EQ(Clean(u"x&#xA0;&#xa0;&#x3C;&#x0d;y"), u"x \u00a0< y");
}

TEST(HeadlineCleanup, EntitiesAfterTags) {
  EXPECT_EQ(Clean(u"1 &lt; 2"), u"1 < 2");
  EXPECT_EQ(Clean(u"&lt;b&gt;bold&lt;/b&gt;"), u"<b>bold</b>");
  EXPECT_EQ(Clean(u"&amp;lt;"), u"<");
  EXPECT_EQ(Clean(u"&amp;nbsp;"), u"\u00a0");
  EXPECT_EQ(Clean(u"&amp;quot;"), u"\"");
  EXPECT_EQ(Clean(u"&mdash;"), u"");  // a hyphen alone is trimmed away
  EXPECT_EQ(Clean(u"a&mdash;b&mdashc"), u"a-b-c");
  EXPECT_EQ(Clean(u"a &ndash;&ndash; b"), u"a - b");
}

TEST(HeadlineCleanup, EveryEntityRowInOrder) {
  for (const EntityRow& row : kEntityRows) {
    const std::u16string search(row.search);
    EXPECT_EQ(Clean(u"x" + search + u"y"), u"x" + std::u16string(row.insert) + u"y")
        << test::Narrow(search);
  }
  // Row order: "&amp;" (21) produces text that later rows decode; what
  // the rows that have already run would have taken is decoded once more
  // by the reference decoding after row 38, and nothing after that.
  EXPECT_EQ(Clean(u"&amp;gt;&amp;#8220;&amp;rdquo;"), u">\"\u201D");
  EXPECT_EQ(Clean(u"&amp;#x26;lt;"), u"<");
  EXPECT_EQ(Clean(u"&#x26;amp; &amp;amp; &amp;#233;"), u"& & \u00e9");
  EXPECT_EQ(Clean(u"x&amp;amp;#13;y &amp;amp;amp;"), u"x y &amp;");
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
  // Only the last "<a" starts a tag; the others stay, since no ">" follows.
  const std::u16string others = mixed.substr(2);
  EXPECT_EQ(Clean(mixed + u" href= >t</a>z"), others + u"tz");
  EXPECT_EQ(Clean(mixed + u" href=u>t</a>z"), others + u"tz");
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
  EXPECT_EQ(expected, u"Breaking & news x - more,less");
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
