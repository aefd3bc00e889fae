#pragma once
// A sequential byte stream that the settings are saved to and loaded from.
// Statuses are 32-bit codes in the platform's convention: negative means
// failure, 0 full success, other positive values a success with a remark
// (a read that reached the end of the stream, for one).
#include <cstddef>
#include <cstdint>

namespace quorvane {

using StreamStatus = int32_t;

inline constexpr StreamStatus kStreamOk = 0;
// A write that took fewer bytes than offered without naming an error
// (the platform's "medium full").
inline constexpr StreamStatus kStreamShortWrite = static_cast<StreamStatus>(0x80030070u);
// The value cannot be written in the layout (a string too long for its
// 32-bit byte count; the platform's "invalid argument").
inline constexpr StreamStatus kStreamInvalidArgument = static_cast<StreamStatus>(0x80070057u);

inline bool StreamFailed(StreamStatus status) { return status < 0; }

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Reads up to `size` bytes into `buffer`; `done` gets the number read.
  virtual StreamStatus Read(void* buffer, uint32_t size, uint32_t& done) = 0;
  // Writes `size` bytes; `done` gets the number written.
  virtual StreamStatus Write(const void* data, uint32_t size, uint32_t& done) = 0;
};

}  // namespace quorvane
