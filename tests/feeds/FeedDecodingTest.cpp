// Conversion of downloaded bodies to UTF-16 with the platform's code pages.
#include "feeds/FeedDecoding.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

using namespace std::string_literals;

std::u16string Ansi(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
  text.resize(n);
  return text;
}

TEST(DecodeFeedBody, Utf8MarkWinsAndIsSkipped) {
  EXPECT_EQ(DecodeFeedBody("\xEF\xBB\xBF<?xml encoding=\"KOI8-R\"?><t>\xC3\xA9</t>"),
            u"<?xml encoding=\"KOI8-R\"?><t>\x00e9</t>");
}

TEST(DecodeFeedBody, DeclaredCodePagesAreUsed) {
  EXPECT_EQ(DecodeFeedBody("<?xml version=\"1.0\" encoding=\"utf-8\"?>\xE2\x82\xAC"),
            u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\x20AC");
  EXPECT_EQ(DecodeFeedBody("<?xml encoding='ISO-8859-1'?>\x80\xE9"), u"<?xml encoding='ISO-8859-1'?>\x20AC\x00e9");
  EXPECT_EQ(DecodeFeedBody("<?xml encoding=\"KOI8-R\"?>\xF0\xD2\xC9"), u"<?xml encoding=\"KOI8-R\"?>\x041f\x0440\x0438");
  EXPECT_EQ(DecodeFeedBody("<?xml encoding=\"UTF-7\"?>+AOk-"), u"<?xml encoding=\"UTF-7\"?>\x00e9");
}

TEST(DecodeFeedBody, UnknownAndUnreadableNamesUseTheAnsiCodePage) {
  const std::string unknown = "<?xml encoding=\"x-unknown\"?>caf\xE9";
  EXPECT_EQ(DecodeFeedBody(unknown), Ansi(unknown));
  // The space after the equals sign is the delimiter: the value is "UTF-8"
  // with its quotes, which names nothing.
  const std::string spaced = "<?xml encoding= \"UTF-8\" ?>caf\xE9";
  EXPECT_EQ(DecodeFeedBody(spaced), Ansi(spaced));
}

TEST(DecodeFeedBody, WhiteSpaceBeforeTheDeclarationMeansUtf8) {
  EXPECT_EQ(DecodeFeedBody(" <?xml encoding=\"KOI8-R\"?>\xC3\xA9"), u" <?xml encoding=\"KOI8-R\"?>\x00e9");
}

TEST(DecodeFeedBody, Utf16MarksDecodeBothByteOrders) {
  EXPECT_EQ(DecodeFeedBody("\xFF\xFE<\0\xE9\0=\xD8\0\xDE"s), u"<\x00e9\xD83D\xDE00");
  EXPECT_EQ(DecodeFeedBody("\xFE\xFF\0<\0\xE9\xD8=\xDE\0"s), u"<\x00e9\xD83D\xDE00");
  EXPECT_EQ(DecodeFeedBody("\xFF\xFE<\0a"s), u"<");  // an odd last byte is dropped
  EXPECT_EQ(DecodeFeedBody("\xFF\xFE<\0\0\0>\0"s), u"<");
}

TEST(DecodeFeedBody, TextEndsAtTheFirstZeroByte) {
  EXPECT_EQ(DecodeFeedBody("<rss/>\0garbage"s), u"<rss/>");
  EXPECT_EQ(DecodeFeedBody(""), u"");
  EXPECT_EQ(DecodeFeedBody("\xEF\xBB\xBF"), u"");
}

}  // namespace
}  // namespace quorvane
