#pragma once
// The gadget's saved state, little-endian:
//   version (4 bytes, 0x710), L (4 bytes: byte length of the feed list with
//   its terminating zero; 0 for none), the feed list in UTF-16LE with its
//   terminator (L bytes), refresh interval ms, wait between screens ms,
//   typing speed step (4 bytes each).
#include <cstdint>

#include "settings/ByteStream.h"
#include "settings/GadgetSettingsRecord.h"

namespace quorvane {

inline constexpr uint32_t kSettingsStreamVersion = 0x710;

// Writes the settings, stopping at the first failed or short write and
// returning its status (kStreamShortWrite for a short one). kStreamOk after
// a complete write.
StreamStatus WriteSettings(ByteStream& stream, const GadgetSettingsRecord& settings);

// The exact number of bytes WriteSettings writes for `settings`.
uint64_t SettingsStreamSize(const GadgetSettingsRecord& settings);

enum class SettingsLoad {
  Complete,  // read to the end, or the stream ended after the feed list
  Failed,    // unreadable or too new: the feed list fell back to the default
};

// Reads settings into `settings` (a null stream is a failed read):
// - the version must be readable in full and not above 0x710 (older
//   versions share the layout);
// - the length and the feed list must be read in full; a length that is
//   odd, below 2 or whose string cannot be held fails the read;
// - the three numbers are read as stored; a stream that ends before one of
//   them leaves it and those after it unchanged, an error fails the read.
// Values read before a failure stay. On failure the feed list becomes the
// default feed; on success an empty feed list does. Negative millisecond
// values are stored as 0 (see SettingsBounds.h).
SettingsLoad ReadSettings(ByteStream* stream, GadgetSettingsRecord& settings);

}  // namespace quorvane
