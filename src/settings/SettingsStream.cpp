#include "settings/SettingsStream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <new>

#include "settings/SettingsBounds.h"

namespace quorvane {
namespace {

// Larger strings are read piecewise, so a corrupt length costs no more
// memory than the stream really holds.
constexpr uint32_t kStringChunkBytes = 4096;

std::array<unsigned char, 4> LittleEndian(uint32_t value) {
  return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
          static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

uint32_t FromLittleEndian(const unsigned char* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

StreamStatus WriteAll(ByteStream& stream, const void* data, uint32_t size) {
  uint32_t done = 0;
  const StreamStatus status = stream.Write(data, size, done);
  if (StreamFailed(status)) return status;
  return done == size ? kStreamOk : kStreamShortWrite;
}

StreamStatus WriteNumber(ByteStream& stream, uint32_t value) {
  const auto bytes = LittleEndian(value);
  return WriteAll(stream, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// The string's UTF-16LE bytes with its terminating zero: its own storage
// where that already is little-endian.
std::u16string_view LittleEndianText(const std::u16string& text, std::u16string& converted) {
  if constexpr (std::endian::native == std::endian::little) {
    return {text.c_str(), text.size() + 1};
  } else {
    converted.assign(text.c_str(), text.size() + 1);
    for (char16_t& c : converted) c = static_cast<char16_t>(c << 8 | c >> 8);
    return converted;
  }
}

enum class ReadResult { Full, Ended, Error };

ReadResult ReadAll(ByteStream& stream, void* buffer, uint32_t size) {
  uint32_t done = 0;
  const StreamStatus status = stream.Read(buffer, size, done);
  if (StreamFailed(status)) return ReadResult::Error;
  return done == size ? ReadResult::Full : ReadResult::Ended;
}

ReadResult ReadNumber(ByteStream& stream, uint32_t& value) {
  unsigned char bytes[4];
  const ReadResult result = ReadAll(stream, bytes, sizeof bytes);
  if (result == ReadResult::Full) value = FromLittleEndian(bytes);
  return result;
}

// Reads a string of `byteCount` bytes (terminator included) in full.
bool ReadFeedList(ByteStream& stream, uint32_t byteCount, std::u16string& text) {
  if (byteCount < 2 || byteCount % 2 != 0) return false;
  std::u16string read;
  unsigned char chunk[kStringChunkBytes];
  try {
    for (uint32_t left = byteCount; left > 0;) {
      const uint32_t size = std::min(left, kStringChunkBytes);
      if (ReadAll(stream, chunk, size) != ReadResult::Full) return false;
      for (uint32_t i = 0; i < size; i += 2)
        read.push_back(static_cast<char16_t>(chunk[i] | chunk[i + 1] << 8));
      left -= size;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  read.pop_back();  // the terminator's place
  // The control's strings end at their first zero character.
  read.resize(std::min(read.size(), read.find(u'\0')));
  text = std::move(read);
  return true;
}

}  // namespace

StreamStatus WriteSettings(ByteStream& stream, const GadgetSettingsRecord& settings) {
  const uint64_t byteCount = 2 * static_cast<uint64_t>(settings.feedUrls.size()) + 2;
  if (byteCount > std::numeric_limits<uint32_t>::max()) return kStreamInvalidArgument;

  if (const auto status = WriteNumber(stream, kSettingsStreamVersion); status != kStreamOk) return status;
  if (const auto status = WriteNumber(stream, static_cast<uint32_t>(byteCount)); status != kStreamOk)
    return status;
  // The string goes out in one piece, terminator included: a stream that
  // grows by copying itself (a memory stream) would copy once per piece.
  std::u16string converted;
  if (const auto status = WriteAll(stream, LittleEndianText(settings.feedUrls, converted).data(),
                                   static_cast<uint32_t>(byteCount));
      status != kStreamOk)
    return status;
  for (const int32_t value : {settings.feedRefreshRateMs, settings.delayBetweenFeedsMs, settings.speechSpeed})
    if (const auto status = WriteNumber(stream, static_cast<uint32_t>(value)); status != kStreamOk) return status;
  return kStreamOk;
}

uint64_t SettingsStreamSize(const GadgetSettingsRecord& settings) {
  return 4 + 4 + (2 * static_cast<uint64_t>(settings.feedUrls.size()) + 2) + 3 * 4;
}

SettingsLoad ReadSettings(ByteStream* stream, GadgetSettingsRecord& settings) {
  const auto finish = [&settings](SettingsLoad outcome) {
    settings.feedRefreshRateMs = RefreshMs(settings.feedRefreshRateMs);
    settings.delayBetweenFeedsMs = NonNegativeMs(settings.delayBetweenFeedsMs);
    if (outcome == SettingsLoad::Failed) settings.feedUrls.clear();
    settings.feedUrls = FeedListOrDefault(std::move(settings.feedUrls));
    return outcome;
  };
  const auto fail = [&finish] { return finish(SettingsLoad::Failed); };
  if (!stream) return fail();

  uint32_t version = 0;
  if (ReadNumber(*stream, version) != ReadResult::Full || version > kSettingsStreamVersion) return fail();

  uint32_t byteCount = 0;
  if (ReadNumber(*stream, byteCount) != ReadResult::Full) return fail();
  if (byteCount == 0) {
    settings.feedUrls.clear();
  } else if (!ReadFeedList(*stream, byteCount, settings.feedUrls)) {
    return fail();
  }

  for (int32_t* field : {&settings.feedRefreshRateMs, &settings.delayBetweenFeedsMs, &settings.speechSpeed}) {
    uint32_t value = 0;
    const ReadResult result = ReadNumber(*stream, value);
    if (result == ReadResult::Error) return fail();
    if (result == ReadResult::Ended) break;
    *field = static_cast<int32_t>(value);
  }
  return finish(SettingsLoad::Complete);
}

}  // namespace quorvane
