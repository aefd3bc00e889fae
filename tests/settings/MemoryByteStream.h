#pragma once
// An in-memory ByteStream with injectable failures, for the settings tests.
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "settings/ByteStream.h"

namespace quorvane::testing {

class MemoryByteStream : public ByteStream {
 public:
  MemoryByteStream() = default;
  explicit MemoryByteStream(std::vector<unsigned char> bytes) : bytes(std::move(bytes)) {}

  StreamStatus Read(void* buffer, uint32_t size, uint32_t& done) override {
    done = 0;
    if (failReadAt && position + size > *failReadAt) return kReadError;
    done = static_cast<uint32_t>(std::min<size_t>(size, bytes.size() - position));
    if (done > 0) std::memcpy(buffer, bytes.data() + position, done);
    position += done;
    return done == size ? kStreamOk : 1;  // 1: ended, as a stream says it
  }

  StreamStatus Write(const void* data, uint32_t size, uint32_t& done) override {
    ++writes;
    done = 0;
    if (failWriteAt && bytes.size() + size > *failWriteAt) return kWriteError;
    if (shortWriteAt && bytes.size() + size > *shortWriteAt) size = static_cast<uint32_t>(*shortWriteAt - bytes.size());
    const auto* p = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), p, p + size);
    done = size;
    return kStreamOk;
  }

  static constexpr StreamStatus kReadError = static_cast<StreamStatus>(0x8003001Eu);
  static constexpr StreamStatus kWriteError = static_cast<StreamStatus>(0x8003001Du);

  std::vector<unsigned char> bytes;
  size_t position = 0;
  int writes = 0;
  std::optional<size_t> failReadAt;    // a read reaching past this offset fails
  std::optional<size_t> failWriteAt;   // a write reaching past this size fails
  std::optional<size_t> shortWriteAt;  // a write reaching past this size is cut short
};

}  // namespace quorvane::testing
