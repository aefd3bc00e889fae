#pragma once
// Downloads one feed body over WinInet, in 2048-byte chunks, with the open
// request published in the signals so that a stop can close it.
#include <optional>
#include <string>

#include "feeds/FeedWorker.h"

namespace quorvane {

// A feed larger than this is skipped: a body that never ends must not
// exhaust the host's memory.
inline constexpr size_t kMaxFeedBodyBytes = 8 * 1024 * 1024;

// The whole body, or nothing when the feed is to be skipped (not opened,
// read failed, stopped, empty, too large).
std::optional<std::string> DownloadFeedBody(const std::u16string& url, FeedSignals& signals);

}  // namespace quorvane
