#include "feeds/FeedDownload.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedUrl.h"
#include "win/com/UniqueAny.h"

namespace quorvane {
namespace {

constexpr DWORD kChunkBytes = 2048;

// Reads until the end of the body, in chunks of at most 2048 bytes; false on a failed read, which includes a
// request that the stopper has taken and closed (some WinInets let a read
// on a closed handle run on until the server ends the connection). Bytes
// read through a handle that was taken meanwhile are never kept.
bool ReadBody(FeedSignals& signals, std::string& body, bool& tooLarge) {
  char chunk[kChunkBytes];
  while (true) {
    const HINTERNET request = static_cast<HINTERNET>(signals.currentRequest.load());
    // Reads only what has arrived: a read that waits for a whole chunk would
    // sit through a server that sends a byte now and then long after a stop.
    DWORD available = 0;
    DWORD read = 0;
    const bool ok = request && InternetQueryDataAvailable(request, &available, 0, 0) &&
                    (available == 0 || InternetReadFile(request, chunk, std::min(available, kChunkBytes), &read));
    if (!ok || signals.currentRequest.load() != request) return false;
    if (read == 0 || signals.stopRequested) return true;
    if (body.size() + read > kMaxFeedBodyBytes) {
      tooLarge = true;
      return true;
    }
    body.append(chunk, read);  // grows geometrically
  }
}

std::u16string QueryText(HINTERNET request, DWORD what) {
  DWORD bytes = 0;
  HttpQueryInfoW(request, what, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::u16string text(bytes / sizeof(wchar_t) + 1, u'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, what, text.data(), &bytes, nullptr)) return {};
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// A header's bytes as the server sent them; WinInet's wide text of a header
// is those bytes read in the ANSI code page, which garbles UTF-8.
std::string QueryBytes(HINTERNET request, DWORD what) {
  DWORD bytes = 0;
  HttpQueryInfoA(request, what, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::string text(bytes + 1, '\0');
  bytes = static_cast<DWORD>(text.size());
  if (!HttpQueryInfoA(request, what, text.data(), &bytes, nullptr)) return {};
  text.resize(bytes);
  return text;
}

DWORD StatusCode(HINTERNET request) {
  DWORD code = 0;
  DWORD size = sizeof(code);
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) return 200;
  return code;
}

std::u16string HttpReason(DWORD status) {
  const std::wstring code = std::to_wstring(status);
  return u"HTTP " + std::u16string(code.begin(), code.end());
}

bool IsRedirect(DWORD code) { return code == 301 || code == 302 || code == 303 || code == 307 || code == 308; }

std::u16string OpenFailure(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return u"host not found";
    case ERROR_INTERNET_CANNOT_CONNECT: return u"connection refused";
    case ERROR_INTERNET_TIMEOUT: return u"timed out";
    default: return u"download failed";
  }
}

FeedBody Failed(std::u16string reason) {
  FeedBody body;
  body.reason = std::move(reason);
  return body;
}

// Opens `url` in the published session and publishes the request; follows
// no redirect. Nothing (with the reason set) when it failed or was stopped.
HINTERNET OpenRequest(const std::u16string& url, FeedSignals& signals, std::u16string& reason) {
  const HINTERNET session = static_cast<HINTERNET>(signals.currentSession.load());
  const std::u16string encoded = EncodeNonAsciiUrl(url);
  HINTERNET request =
      session ? InternetOpenUrlW(session, reinterpret_cast<const wchar_t*>(encoded.c_str()), nullptr, 0,
                                 INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT, 0)
              : nullptr;
  if (!request) {
    const DWORD error = GetLastError();
    DebugLineA("InternetConnectA failed\n");
    reason = signals.stopRequested ? u"download failed" : OpenFailure(error);
    return nullptr;
  }
  signals.currentRequest = request;
  // A stop that came while the request was being opened found nothing to
  // close: close it here rather than read.
  if (signals.stopRequested) {
    CloseCurrentRequest(signals);
    reason = u"download failed";
    return nullptr;
  }
  return request;
}

void CloseRequestOnly(FeedSignals& signals) { ClosePublishedHandle(signals.currentRequest); }

FeedBody ReadOpenedBody(HINTERNET request, std::u16string finalUrl, FeedSignals& signals) {
  FeedBody body;
  body.finalUrl = std::move(finalUrl);
  const std::u16string contentType = QueryText(request, HTTP_QUERY_CONTENT_TYPE);
  for (char16_t c : contentType) body.contentType += c < 0x80 ? static_cast<char>(c) : '?';
  bool tooLarge = false;
  const bool ok = ReadBody(signals, body.bytes, tooLarge);
  if (!ok) {
    DebugLineA("InternetReadFile failed\n");
    return Failed(u"download failed");
  }
  if (tooLarge) {
    DebugLineA("Feed larger than 8 MB skipped\n");
    return Failed(u"larger than 8 MB");
  }
  if (signals.stopRequested) return Failed(u"download failed");
  return body;
}

// The redirect chain of one session, at most kMaxRedirects long.
FeedBody FollowAndRead(const std::u16string& url, FeedSignals& signals) {
  std::u16string current = url;
  for (int redirects = 0;; ++redirects) {
    std::u16string reason;
    const HINTERNET request = OpenRequest(current, signals, reason);
    if (!request) return Failed(reason);
    const DWORD status = StatusCode(request);
    if (IsRedirect(status)) {
      const std::u16string location = EncodeNonAsciiBytes(QueryBytes(request, HTTP_QUERY_LOCATION));
      CloseRequestOnly(signals);
      if (location.empty()) return Failed(HttpReason(status));
      if (redirects == kMaxRedirects) return Failed(u"too many redirects");
      if (signals.stopRequested) return Failed(u"download failed");
      current = ResolveUrl(current, location);
      if (!IsWebUrl(current)) return Failed(u"redirect to a non-web address");
      continue;
    }
    if (status >= 300) {
      CloseRequestOnly(signals);
      return Failed(HttpReason(status));
    }
    return ReadOpenedBody(request, current, signals);
  }
}

}  // namespace

void DebugFeedLine(const std::u16string& url, const std::u16string& reason) {
  const std::u16string line = url + u": " + reason + u"\n";
  DebugLineW(reinterpret_cast<const wchar_t*>(line.c_str()));
}

FeedBody DownloadFeedBody(const std::u16string& url, FeedSignals& signals) {
  UniqueInternetHandle session(InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    DebugLineW(L"InternetOpenA failed\n");
    return Failed(u"download failed");
  }
  CloseCurrentRequest(signals);
  // Published, the session is closed by whoever takes it.
  signals.currentSession = session.release();
  FeedBody body = signals.stopRequested ? Failed(u"download failed") : FollowAndRead(url, signals);
  CloseCurrentRequest(signals);
  if (body.reason.starts_with(u"HTTP") || body.reason.find(u"redirect") != std::u16string::npos)
    DebugFeedLine(url, body.reason);
  return body;
}

}  // namespace quorvane
