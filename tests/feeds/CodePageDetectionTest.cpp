// Byte order marks and the declared encoding of feed bodies.
#include "feeds/CodePageDetection.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

using namespace std::string_literals;

TEST(ByteOrderMarkLength, CountsTheMarkOfEachUnicodeForm) {
  EXPECT_EQ(ByteOrderMarkLength("\xEF\xBB\xBF<?xml version=\"1.0\"?>"), 3);
  EXPECT_EQ(ByteOrderMarkLength("\xFF\xFE<\0?\0"s), 2);
  EXPECT_EQ(ByteOrderMarkLength("\xFE\xFF\0<\0?"s), 2);
  EXPECT_EQ(ByteOrderMarkLength("<?xml version=\"1.0\"?>"), 0);
  EXPECT_EQ(ByteOrderMarkLength(""), 0);
  EXPECT_EQ(ByteOrderMarkLength("\xEF\xBB"), 0);  // a mark cut short
  EXPECT_EQ(ByteOrderMarkLength("\xFF"), 0);
  EXPECT_EQ(ByteOrderMarkLength(" \xEF\xBB\xBF"), 0);
}

TEST(DetectCodePage, ByteOrderMarkWinsOverTheDeclaration) {
  EXPECT_EQ(DetectCodePage("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("\xFF\xFE<\0?\0x\0m\0l\0"s), kCodePageUtf16LE);
  EXPECT_EQ(DetectCodePage("\xFE\xFF\0<\0?\0x\0m\0l"s), kCodePageUtf16BE);
}

TEST(DetectCodePage, UndeclaredOrUnreadableDeclarationsAreUtf8) {
  EXPECT_EQ(DetectCodePage(""), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<rss version=\"2.0\"/>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\"?><rss/>"), kCodePageUtf8);
  // Only an exact "<?xml" at offset 0 counts.
  EXPECT_EQ(DetectCodePage(" <?xml version=\"1.0\" encoding=\"windows-1251\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("\n<?xml version=\"1.0\" encoding=\"windows-1251\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?XML version=\"1.0\" encoding=\"windows-1251\"?>"), kCodePageUtf8);
  // A closing delimiter that never comes, or nothing after the key.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"windows-1251"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding="), kCodePageUtf8);
  // The key is case-sensitive and a space before the equals sign hides it.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" ENCODING=\"windows-1251\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding =\"windows-1251\"?>"), kCodePageUtf8);
}

TEST(DetectCodePage, UnicodeNamesFollowTheBytesNotTheName) {
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"utf-8\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), kCodePageUtf8);
  // Bytes that begin with "<?xml" cannot be UTF-16.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"utf-16le\"?>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"UTF-7\"?>"), kCodePageUtf7);
}

TEST(DetectCodePage, DeclaredNamesMapAsBrowsersMapThem) {
  EXPECT_EQ(DetectCodePage("<?xml version='1.0' encoding='ISO-8859-1'?>"), 1252u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"us-ascii\"?>"), 1252u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"), 20866u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"), 932u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"GB2312\"?>"), 936u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"Big5\"?>"), 950u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"EUC-KR\"?>"), 949u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>"), 28592u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"), 1251u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?>"), 1254u);
}

TEST(DetectCodePage, UnknownNamesFallBackToTheAnsiCodePage) {
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"x-klingon\"?>"), kCodePageAnsi);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"\"?>"), kCodePageAnsi);
  // Known to browsers, but Windows has no code page for it.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"ISO-8859-10\"?>"), kCodePageAnsi);
}

TEST(DetectCodePage, TheByteAfterTheEqualsSignIsTheDelimiter) {
  // A space after the equals sign: the value runs to the next space,
  // quotes included, and names nothing known.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding= \"UTF-8\" ?>"), kCodePageAnsi);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding= \"UTF-8\"?><rss/>"), kCodePageUtf8);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=|koi8-r|?>"), 20866u);
}

TEST(DetectCodePage, TheFirstEncodingKeyAnywhereCounts) {
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\"?><rss><x encoding=\"koi8-r\"/></rss>"), 20866u);
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\" encoding=\"koi8-r\"?><x encoding=\"big5\"/>"), 20866u);
  // The search ends at the first zero byte.
  EXPECT_EQ(DetectCodePage("<?xml version=\"1.0\"?>\0<x encoding=\"koi8-r\"/>"s), kCodePageUtf8);
}

TEST(CodePageForLabel, IgnoresCaseAndSurroundingWhiteSpaceOnly) {
  EXPECT_EQ(CodePageForLabel(" \tKoI8-r\r\n"), 20866u);
  EXPECT_EQ(CodePageForLabel("LATIN1"), 1252u);
  EXPECT_EQ(CodePageForLabel("koi8 -r"), std::nullopt);
  EXPECT_EQ(CodePageForLabel("\"utf-8\""), std::nullopt);
  EXPECT_EQ(CodePageForLabel(""), std::nullopt);
}

}  // namespace
}  // namespace quorvane
