#pragma once
// Downloads one feed body over WinInet, in 2048-byte chunks, following
// redirects itself. The download's thread opens and closes every handle it
// uses; nothing is shared but the stop flag and the progress time.
#include <string>

#include "feeds/FeedWorker.h"

namespace quorvane {

// A feed larger than this is skipped: a body that never ends must not
// exhaust the host's memory.
inline constexpr size_t kMaxFeedBodyBytes = 8 * 1024 * 1024;
// Redirects followed for one feed; a chain that never ends is cut here.
inline constexpr int kMaxRedirects = 10;
// Connect, send and receive time-out of every blocking WinInet call: a
// server that goes silent this long ends the download ("timed out"), and a
// stopped download ends within this long even while a call blocks, since
// the stop is only seen between calls.
inline constexpr unsigned long kNetworkCallTimeoutMs = 10'000;

// The body with its content type and final address; nothing but the status
// for a 304; or, when the feed is to be skipped, the reason: "host not
// found", "connection refused", "HTTP <code>", "too many redirects",
// "redirect to a non-web address", "larger than 8 MB" (decoded), "timed out",
// "rate limited until HH:MM" (429, or resting after one), "unavailable until
// HH:MM" (503, likewise), "gone (HTTP 410)",
// "download failed" (not opened, read failed, stopped). Sends the hint's
// validators; a permanent move is remembered and reported in `movedTo`.
FeedBody DownloadFeedBody(const std::u16string& url, FeedSignals& signals);

// Writes "<url>: <reason>" to the debug output.
void DebugFeedLine(const std::u16string& url, const std::u16string& reason);

}  // namespace quorvane
