// Prolog checks before loading, the time stamp, and the tool's JSON lines.
#include "feeds/XmlProlog.h"

#include <gtest/gtest.h>

#include "feeds/FeedItemJson.h"

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

TEST(DeclaresEntities, FindsEntityDeclarationsOfTheInternalSubsetOnly) {
  EXPECT_TRUE(DeclaresEntities(u"<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"));
  EXPECT_TRUE(DeclaresEntities(u"<!DOCTYPE r [\n <!ELEMENT r ANY>\n <!ENTITY a \"aaaa\">\n]><r/>"));
  EXPECT_TRUE(DeclaresEntities(u"\xFEFF<!-- c --><?pi x?>\n<!DOCTYPE r [<!-- ] --> %pe; <!ENTITY % p \"\">]><r/>"));
  EXPECT_TRUE(DeclaresEntities(u"<!DOCTYPE r SYSTEM \"a[b\" [<!ENTITY e \"v\">]><r/>"));

  // RSS 0.91 names an external DTD but declares nothing itself.
  EXPECT_FALSE(DeclaresEntities(
      u"<?xml version=\"1.0\"?>\n<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\"\n"
      u" \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n<rss version=\"0.91\"/>"));
  EXPECT_FALSE(DeclaresEntities(u"<!DOCTYPE r [<!ATTLIST r a CDATA \"<!ENTITY\">]><r/>"));
  EXPECT_FALSE(DeclaresEntities(u"<!DOCTYPE r [<!-- <!ENTITY x \"y\"> -->]><r/>"));
  // Past the prolog, text is content, not declarations.
  EXPECT_FALSE(DeclaresEntities(u"<rss><description><![CDATA[<!DOCTYPE r [<!ENTITY x \"y\">]>]]></description></rss>"));
  EXPECT_FALSE(DeclaresEntities(u""));
  EXPECT_FALSE(DeclaresEntities(u"<!DOCTYPE r ["));
}

TEST(FormatTimeStamp, TwoDigitsEach) {
  EXPECT_EQ(FormatTimeStamp(9, 5), u"09:05");
  EXPECT_EQ(FormatTimeStamp(21, 40), u"21:40");
  EXPECT_EQ(FormatTimeStamp(0, 0), u"00:00");
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
