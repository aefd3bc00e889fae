#include "settings/SettingsStream.h"

#include <gtest/gtest.h>

#include "MemoryByteStream.h"

namespace quorvane {
namespace {

using testing::MemoryByteStream;
using Bytes = std::vector<unsigned char>;

void Append32(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void AppendString(Bytes& bytes, std::u16string_view text) {
  Append32(bytes, static_cast<uint32_t>(2 * text.size() + 2));
  for (const char16_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
}

Bytes Layout(uint32_t version, std::u16string_view feeds, std::initializer_list<uint32_t> numbers) {
  Bytes bytes;
  Append32(bytes, version);
  AppendString(bytes, feeds);
  for (const uint32_t n : numbers) Append32(bytes, n);
  return bytes;
}

// Settings that differ from every value the tests load, so that "left
// unchanged" is visible.
GadgetSettingsRecord Previous() { return {u"http://previous/rss", 111, 222, 3}; }

TEST(SettingsStream, WritesTheLayoutAndItsSizeExactly) {
  MemoryByteStream stream;
  const GadgetSettingsRecord defaults;
  EXPECT_EQ(WriteSettings(stream, defaults), kStreamOk);
  EXPECT_EQ(stream.bytes, Layout(0x710, kDefaultFeedUrl, {1'800'000, 7'000, 0}));
  EXPECT_EQ(stream.bytes.size(), SettingsStreamSize(defaults));
  EXPECT_EQ(Bytes(stream.bytes.begin(), stream.bytes.begin() + 4), (Bytes{0x10, 0x07, 0, 0}));
}

TEST(SettingsStream, RoundTripsEveryValue) {
  // Non-ASCII text, a surrogate pair, a string longer than one I/O piece,
  // and negative and extreme numbers.
  std::u16string feeds = u"http://a/\u00e9\U0001F600 URL ";
  feeds += std::u16string(5000, u'x');
  for (const GadgetSettingsRecord& written :
       {GadgetSettingsRecord{feeds, 0, 2'147'483'000, -2147483647 - 1}, GadgetSettingsRecord{u"h", 60'000, 0, 16}}) {
    MemoryByteStream stream;
    ASSERT_EQ(WriteSettings(stream, written), kStreamOk);
    EXPECT_EQ(stream.bytes.size(), SettingsStreamSize(written));
    // The string in one write: a memory stream copies itself on every
    // write that grows it, which made saving a long feed list quadratic.
    EXPECT_EQ(stream.writes, 6);
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete);
    EXPECT_EQ(read, written);
  }
}

TEST(SettingsStream, OlderVersionsShareTheLayout) {
  for (const uint32_t version : {0u, 0x100u, 0x70Fu}) {
    MemoryByteStream stream(Layout(version, u"http://a/rss", {60'000, 1'000, 5}));
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete);
    EXPECT_EQ(read, (GadgetSettingsRecord{u"http://a/rss", 60'000, 1'000, 5}));
  }
}

TEST(SettingsStream, UnreadableStartFallsBackToTheDefaultFeedAndKeepsTheNumbers) {
  const auto expectFailed = [](ByteStream* stream) {
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(stream, read), SettingsLoad::Failed);
    EXPECT_EQ(read, (GadgetSettingsRecord{kDefaultFeedUrl, 111, 222, 3}));
  };
  expectFailed(nullptr);
  MemoryByteStream tooNew(Layout(0x711, u"http://a/rss", {60'000, 1'000, 5}));
  expectFailed(&tooNew);
  MemoryByteStream newest(Layout(0xFFFFFFFF, u"http://a/rss", {60'000, 1'000, 5}));
  expectFailed(&newest);
  MemoryByteStream empty;
  expectFailed(&empty);
  MemoryByteStream halfVersion(Bytes{0x10, 0x07});
  expectFailed(&halfVersion);
  MemoryByteStream versionError(Layout(0x710, u"a", {1, 2, 3}));
  versionError.failReadAt = 0;
  expectFailed(&versionError);
}

TEST(SettingsStream, FailedOrMalformedFeedListFallsBackToTheDefaultFeed) {
  const Bytes good = Layout(0x710, u"http://a/rss", {60'000, 1'000, 5});
  std::vector<MemoryByteStream> streams;
  streams.emplace_back(Bytes(good.begin(), good.begin() + 6));   // length cut short
  streams.emplace_back(Bytes(good.begin(), good.begin() + 20));  // string cut short
  streams.emplace_back(good);
  streams.back().failReadAt = 12;  // error inside the string
  streams.emplace_back(good);
  streams.back().failReadAt = 6;  // error on the length
  for (const uint32_t badLength : {1u, 3u, 25u, 0xFFFFFFFEu}) {
    Bytes bytes;
    Append32(bytes, 0x710);
    Append32(bytes, badLength);
    bytes.insert(bytes.end(), 40, 'a');
    streams.emplace_back(bytes);
  }
  for (auto& stream : streams) {
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Failed);
    EXPECT_EQ(read, (GadgetSettingsRecord{kDefaultFeedUrl, 111, 222, 3}));
  }
}

TEST(SettingsStream, StreamEndingAmongTheNumbersKeepsTheRest) {
  const Bytes full = Layout(0x710, u"http://a/rss", {60'000, 1'000, 5});
  const size_t numbersAt = full.size() - 12;
  struct Case {
    size_t length;
    GadgetSettingsRecord expected;
  };
  for (const Case& c : {Case{numbersAt, {u"http://a/rss", 111, 222, 3}},
                        Case{numbersAt + 4, {u"http://a/rss", 60'000, 222, 3}},  // ends after the refresh interval
                        Case{numbersAt + 6, {u"http://a/rss", 60'000, 222, 3}},  // half a number is none
                        Case{numbersAt + 8, {u"http://a/rss", 60'000, 1'000, 3}}}) {
    MemoryByteStream stream(Bytes(full.begin(), full.begin() + c.length));
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete) << c.length;
    EXPECT_EQ(read, c.expected) << c.length;
  }
}

TEST(SettingsStream, ErrorAmongTheNumbersKeepsWhatWasReadButNotTheFeedList) {
  MemoryByteStream stream(Layout(0x710, u"http://a/rss", {60'000, 1'000, 5}));
  stream.failReadAt = stream.bytes.size() - 2;  // the speed
  GadgetSettingsRecord read = Previous();
  EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Failed);
  EXPECT_EQ(read, (GadgetSettingsRecord{kDefaultFeedUrl, 60'000, 1'000, 3}));
}

TEST(SettingsStream, EmptyOrAbsentFeedListBecomesTheDefaultFeed) {
  Bytes noString;
  Append32(noString, 0x710);
  Append32(noString, 0);
  for (const uint32_t n : {60'000u, 1'000u, 5u}) Append32(noString, n);
  for (const Bytes& bytes : {noString, Layout(0x710, u"", {60'000, 1'000, 5})}) {
    MemoryByteStream stream(bytes);
    GadgetSettingsRecord read = Previous();
    EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete);
    EXPECT_EQ(read, (GadgetSettingsRecord{kDefaultFeedUrl, 60'000, 1'000, 5}));
  }
}

TEST(SettingsStream, FeedListEndsAtItsFirstZeroCharacter) {
  MemoryByteStream stream(Layout(0x710, std::u16string(u"http://a/rss\0junk", 17), {60'000, 1'000, 5}));
  GadgetSettingsRecord read = Previous();
  EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete);
  EXPECT_EQ(read.feedUrls, u"http://a/rss");
}

TEST(SettingsStream, NegativeLoadedWaitsBecomeZeroAndANegativeIntervalTheDefault) {
  MemoryByteStream stream(Layout(0x710, u"http://a/rss", {0xFFFFFFFF, 0x80000000, 0xFFFFFFF6}));
  GadgetSettingsRecord read = Previous();
  EXPECT_EQ(ReadSettings(&stream, read), SettingsLoad::Complete);
  EXPECT_EQ(read, (GadgetSettingsRecord{u"http://a/rss", 1'800'000, 0, -10}));
}

TEST(SettingsStream, SaveStopsAtTheFirstFailedWrite) {
  const GadgetSettingsRecord settings{u"http://a/rss", 60'000, 1'000, 5};
  const size_t total = SettingsStreamSize(settings);
  for (const size_t at : {size_t{0}, size_t{4}, size_t{8}, total - 12, total - 4}) {
    MemoryByteStream failing;
    failing.failWriteAt = at;
    EXPECT_EQ(WriteSettings(failing, settings), MemoryByteStream::kWriteError) << at;
    EXPECT_LE(failing.bytes.size(), at);

    MemoryByteStream cut;
    cut.shortWriteAt = at;
    EXPECT_EQ(WriteSettings(cut, settings), kStreamShortWrite) << at;
    EXPECT_EQ(cut.bytes.size(), at);
  }
}

}  // namespace
}  // namespace quorvane
