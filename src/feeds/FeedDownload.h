#pragma once
// Downloads one feed body over WinInet, in 2048-byte chunks, following
// redirects itself, with the open session and request published in the
// signals so that a stop can close them.
#include <string>

#include "feeds/FeedWorker.h"

namespace quorvane {

// A feed larger than this is skipped: a body that never ends must not
// exhaust the host's memory.
inline constexpr size_t kMaxFeedBodyBytes = 8 * 1024 * 1024;
// Redirects followed for one feed; a chain that never ends is cut here.
inline constexpr int kMaxRedirects = 10;

// The body with its content type and final address; or, when the feed is to
// be skipped, the reason: "host not found", "connection refused",
// "HTTP <code>", "too many redirects", "redirect to a non-web address",
// "larger than 8 MB", "timed out",
// "download failed" (not opened, read failed, stopped).
FeedBody DownloadFeedBody(const std::u16string& url, FeedSignals& signals);

// Writes "<url>: <reason>" to the debug output.
void DebugFeedLine(const std::u16string& url, const std::u16string& reason);

}  // namespace quorvane
