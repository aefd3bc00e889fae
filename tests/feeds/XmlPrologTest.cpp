// Prolog checks before loading, the time stamp, and the tool's JSON lines.
#include <gtest/gtest.h>

#include <random>

#include "feeds/CodePageDetection.h"
#include "feeds/EntityCheck.h"
#include "feeds/FeedItemJson.h"
#include "feeds/RecordText.h"
#include "feeds/TimeStamp.h"
#include "feeds/XmlDeclaration.h"

namespace quorvane {
namespace {

std::u16string WithoutEncoding(std::u16string text) {
  RemoveDeclaredEncoding(text);
  return text;
}

TEST(RemoveDeclaredEncoding, DropsOnlyTheEncodingOfTheDeclaration) {
  EXPECT_EQ(WithoutEncoding(u"<?xml version=\"1.0\" encoding=\"KOI8-R\"?><rss/>"), u"<?xml version=\"1.0\"?><rss/>");
  EXPECT_EQ(WithoutEncoding(u"<?xml version='1.0' encoding = 'Shift_JIS' standalone='yes'?><a/>"),
            u"<?xml version='1.0' standalone='yes'?><a/>");
  EXPECT_EQ(WithoutEncoding(u"\xFEFF<?xml version=\"1.0\"\n\tencoding=\"big5\"\n?><a/>"),
            u"\xFEFF<?xml version=\"1.0\"\n?><a/>");
  // Elsewhere than in the declaration, nothing is touched.
  EXPECT_EQ(WithoutEncoding(u"<?xml version=\"1.0\"?><a encoding=\"x\"/>"), u"<?xml version=\"1.0\"?><a encoding=\"x\"/>");
  EXPECT_EQ(WithoutEncoding(u"<rss encoding=\"x\"/>"), u"<rss encoding=\"x\"/>");
  EXPECT_EQ(WithoutEncoding(u" <?xml version=\"1.0\" encoding=\"x\"?>"), u" <?xml version=\"1.0\" encoding=\"x\"?>");
  EXPECT_EQ(WithoutEncoding(u"<?xml-stylesheet encoding=\"x\"?>"), u"<?xml-stylesheet encoding=\"x\"?>");
  // Malformed declarations are left for the parser to refuse.
  EXPECT_EQ(WithoutEncoding(u"<?xml version=\"1.0\" encoding=\"x"), u"<?xml version=\"1.0\" encoding=\"x");
  EXPECT_EQ(WithoutEncoding(u"<?xml version=\"1.0\" encoding=x?>"), u"<?xml version=\"1.0\" encoding=x?>");
  EXPECT_EQ(WithoutEncoding(u"<?xml"), u"<?xml");
  EXPECT_EQ(WithoutEncoding(u""), u"");
}

TEST(HasUnsafeEntities, RefusesEntitiesThatReachOutsideTheText) {
  EXPECT_TRUE(HasUnsafeEntities(u"<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY x PUBLIC \"-//x//EN\" \"http://h/x\">]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY % p SYSTEM \"http://h/p\"> %p;]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [ %p; ]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY x \"%p;\">]><r/>"));
}

TEST(HasUnsafeEntities, RefusesEntitiesThatExpandWithoutBound) {
  // Nested references, also when spelled as character references.
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;\">]><r>&b;</r>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY b \"&#38;a;\">]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY b \"&#x26;a;\">]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY b \"&#0037;a;\">]><r/>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY b \"&#xzz;\">]><r/>"));
  // One large entity referenced often enough.
  const std::u16string big(kMaxEntityExpansion / 100 + 1, u'x');
  std::u16string doc = u"<!DOCTYPE r [<!ENTITY big \"" + big + u"\">]><r>";
  for (int i = 0; i < 99; ++i) doc += u"&big;";
  EXPECT_FALSE(HasUnsafeEntities(doc + u"</r>"));
  EXPECT_TRUE(HasUnsafeEntities(doc + u"&big;</r>"));
}

TEST(HasUnsafeEntities, AcceptsPlainInternalEntitiesAndOrdinaryDoctypes) {
  EXPECT_FALSE(HasUnsafeEntities(
      u"<!DOCTYPE rss [<!ENTITY nbsp \"&#160;\"> <!ENTITY site 'Quorvane &#x26A1;'>]><rss>&nbsp;&site;</rss>"));
  EXPECT_FALSE(HasUnsafeEntities(u"\xFEFF<!-- c --><?pi x?>\n<!DOCTYPE r SYSTEM \"a[b\" [<!-- %x; ] --> <!ELEMENT r ANY>]><r/>"));
  // RSS 0.91 names an external DTD (which is never read) and declares nothing.
  EXPECT_FALSE(HasUnsafeEntities(
      u"<?xml version=\"1.0\"?>\n<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\"\n"
      u" \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n<rss version=\"0.91\"/>"));
  EXPECT_FALSE(HasUnsafeEntities(u"<!DOCTYPE r [<!ATTLIST r a CDATA \"<!ENTITY % x SYSTEM 'y'>\">]><r/>"));
  EXPECT_FALSE(HasUnsafeEntities(u"<!DOCTYPE r [<!-- <!ENTITY x SYSTEM \"y\"> -->]><r/>"));
  // Past the prolog, text is content, not declarations.
  EXPECT_FALSE(HasUnsafeEntities(u"<rss><description><![CDATA[<!DOCTYPE r [<!ENTITY x SYSTEM \"y\">]>]]></description></rss>"));
  EXPECT_FALSE(HasUnsafeEntities(u""));
}

TEST(HasUnsafeEntities, RefusesSubsetsItCannotRead) {
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r ["));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY a \"x\">"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!ENTITY a \"x\"> junk ]><r>&a;</r>"));
  EXPECT_TRUE(HasUnsafeEntities(u"<!DOCTYPE r [<!-- never closed ]><r/>"));
}

TEST(FormatTimeStamp, TwoDigitsEach) {
  EXPECT_EQ(FormatTimeStamp(9, 5), u"09:05");
  EXPECT_EQ(FormatTimeStamp(21, 40), u"21:40");
  EXPECT_EQ(FormatTimeStamp(0, 0), u"00:00");
}

TEST(CutAtCharacterBoundary, NeverKeepsHalfASurrogatePair) {
  std::u16string text = u"ab\xD83D\xDE00" u"c";
  CutAtCharacterBoundary(text, 3);
  EXPECT_EQ(text, u"ab");
  text = u"ab\xD83D\xDE00" u"c";
  CutAtCharacterBoundary(text, 4);
  EXPECT_EQ(text, u"ab\xD83D\xDE00");
  CutAtCharacterBoundary(text, 10);
  EXPECT_EQ(text, u"ab\xD83D\xDE00");
}

TEST(FeedItemJson, KeysInRecordOrderAndStringsEscaped) {
  FeedItem item{u"http://x/?a=1&b=2", u"Say \"hi\"\\", u"line\nnext\ttab\x01", u"\x041f\x0440\x0438", u"09:05"};
  EXPECT_EQ(FeedItemJson(item),
            "{\"link\":\"http://x/?a=1&b=2\",\"title\":\"Say \\\"hi\\\"\\\\\","
            "\"description\":\"line\\nnext\\ttab\\u0001\",\"feedTitle\":\"\xD0\x9F\xD1\x80\xD0\xB8\","
            "\"timeStamp\":\"09:05\"}");
}

TEST(FeedItemJson, SurrogatePairsBecomeUtf8AndLoneOnesEscapes) {
  EXPECT_EQ(JsonString(u"\xD83D\xDE00"), "\"\xF0\x9F\x98\x80\"");
  EXPECT_EQ(JsonString(u"a\xD83D" u"b\xDE00"), "\"a\\ud83db\\ude00\"");
  EXPECT_EQ(JsonString(u"\x20AC"), "\"\xE2\x82\xAC\"");
  EXPECT_EQ(JsonString(u""), "\"\"");
}

}  // namespace
}  // namespace quorvane

namespace quorvane {
namespace {

// Fragments of prologs in random order: the checks must neither read out of
// bounds nor loop, whatever the text (run under the sanitizers natively).
TEST(PrologChecks, SurviveArbitraryFragments) {
  const std::u16string_view pieces[] = {u"<?xml", u" version=\"1.0\"", u" encoding=", u"\"", u"'", u"?>", u"<!DOCTYPE",
                                        u" r", u"[", u"]", u">", u"<!ENTITY", u" %", u" a", u" SYSTEM", u"&a;",
                                        u"&#38;", u"&#x", u";", u"<!--", u"-->", u"<", u"\xFEFF", u" "};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text;
    const int count = random() % 16;
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    HasUnsafeEntities(text);
    RemoveDeclaredEncoding(text);
    std::string bytes(text.begin(), text.end());
    DetectCodePage(bytes);
    ByteOrderMarkLength(bytes);
  }
}

}  // namespace
}  // namespace quorvane
