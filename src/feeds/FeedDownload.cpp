#include "feeds/FeedDownload.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "feeds/FeedCourtesy.h"
#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedServerMemory.h"
#include "feeds/FeedUrl.h"
#include "win/base/UniqueAny.h"

namespace quorvane {
namespace {

constexpr DWORD kChunkBytes = 2048;

// Who asks, for the servers' logs and for bot filters that refuse requests
// naming no one.
constexpr wchar_t kUserAgent[] = L"QuorvaneRSS/" QUORVANE_AGENT_VERSION L" (desktop news gadget)";

// Time since the server last sent anything.
uint64_t SilentMs(const FeedSignals& signals) { return GetTickCount64() - signals.lastProgress.load(); }

// Reads until the end of the body, in chunks of at most 2048 bytes; false
// on a failed read (the receive time-out included) or a stop.
bool ReadBody(HINTERNET request, FeedSignals& signals, std::string& body, bool& tooLarge) {
  char chunk[kChunkBytes];
  while (!signals.stopRequested) {
    // Reads only what has arrived: a read that waits for a whole chunk would
    // sit through a server that sends a byte now and then long after a stop.
    DWORD available = 0;
    DWORD read = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) return false;
    if (available > 0 && !InternetReadFile(request, chunk, std::min(available, kChunkBytes), &read)) return false;
    if (read == 0) return true;
    signals.lastProgress = GetTickCount64();
    if (body.size() + read > kMaxFeedBodyBytes) {
      tooLarge = true;
      return true;
    }
    body.append(chunk, read);  // grows geometrically
  }
  return false;
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
bool IsPermanentRedirect(DWORD code) { return code == 301 || code == 308; }

// A validator goes back in a header line: one that could break the line is
// not kept.
std::string HeaderValue(HINTERNET request, DWORD what) {
  std::string value = QueryBytes(request, what);
  return value.find_first_of("\r\n") == std::string::npos ? value : std::string();
}

// The request's own headers: the encodings WinInet decodes (unless the
// body is to come as it is), and the validators of the records the gadget
// holds, exactly as received, to the address that gave them only (a page
// the feed was found on has validators of its own). One header a call: a
// call that replaces headers takes no more.
bool AddRequestHeaders(HINTERNET request, const FeedRequestHint& hint, const std::u16string& url, bool encoded) {
  std::vector<std::string> lines{encoded ? "Accept-Encoding: gzip, deflate\r\n" : "Accept-Encoding: identity\r\n"};
  if (url == hint.validatedUrl) {
    if (!hint.etag.empty()) lines.push_back("If-None-Match: " + hint.etag + "\r\n");
    if (!hint.lastModified.empty()) lines.push_back("If-Modified-Since: " + hint.lastModified + "\r\n");
  }
  return std::all_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return HttpAddRequestHeadersA(request, line.c_str(), static_cast<DWORD>(line.size()),
                                  HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE) != FALSE;
  });
}

std::u16string OpenFailure(DWORD error, const FeedSignals& signals) {
  if (signals.stopRequested) return u"download failed";
  // Wine reports a receive time-out as an aborted connection.
  if (error == ERROR_INTERNET_TIMEOUT || SilentMs(signals) + 500 >= kNetworkCallTimeoutMs) return u"timed out";
  switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return u"host not found";
    case ERROR_INTERNET_CANNOT_CONNECT: return u"connection refused";
    default: return u"download failed";
  }
}

FeedBody Failed(std::u16string reason) {
  FeedBody body;
  body.reason = std::move(reason);
  return body;
}

// Bounds every blocking call made through `handle` and the handles opened
// from it. Set on the request itself too: Wine's WinInet takes the send and
// receive time-outs only from the request handle.
void LimitBlockingCalls(HINTERNET handle) {
  DWORD ms = kNetworkCallTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(handle, option, &ms, sizeof(ms));
}

// One HTTP request with its connection, closed in that order.
struct OpenRequest {
  UniqueInternetHandle connection;
  UniqueInternetHandle request;
};

// Sends a GET for `url` (http or https only) and waits for the response's
// headers; follows no redirect. Nothing (with the reason set) when it
// failed or was stopped.
OpenRequest SendRequest(HINTERNET session, const std::u16string& url, bool acceptEncoded, FeedSignals& signals,
                        std::u16string& reason) {
  OpenRequest open;
  const std::u16string encoded = EncodeNonAsciiUrl(url);
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(reinterpret_cast<const wchar_t*>(encoded.c_str()), static_cast<DWORD>(encoded.size()), 0,
                         &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || parts.dwHostNameLength == 0) {
    DebugLineA("InternetConnectA failed\n");
    reason = u"download failed";
    return open;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";
  // Neither the platform's cookies nor its shared cache: a feed's cookie
  // stays with the server, and the validators sent replace the cache.
  DWORD flags = INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD |
                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  open.connection.reset(InternetConnectW(session, host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (open.connection)
    open.request.reset(HttpOpenRequestW(open.connection.get(), L"GET", path.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (open.request) {
    LimitBlockingCalls(open.request.get());
    // WinInet inflates gzip and deflate bodies itself, so the size cap
    // counts decoded bytes and a small bomb cannot pass it.
    BOOL decode = acceptEncoded ? TRUE : FALSE;
    InternetSetOptionW(open.request.get(), INTERNET_OPTION_HTTP_DECODING, &decode, sizeof(decode));
    if (!signals.stopRequested && AddRequestHeaders(open.request.get(), signals.hint, url, acceptEncoded) &&
        HttpSendRequestW(open.request.get(), nullptr, 0, nullptr, 0)) {
      signals.lastProgress = GetTickCount64();
      return open;
    }
  }
  const DWORD error = GetLastError();
  if (!signals.stopRequested) DebugLineA("InternetConnectA failed\n");
  reason = OpenFailure(error, signals);
  open = {};
  return open;
}

FeedBody ReadOpenedBody(HINTERNET request, std::u16string finalUrl, FeedSignals& signals) {
  FeedBody body;
  body.finalUrl = std::move(finalUrl);
  const std::u16string contentType = QueryText(request, HTTP_QUERY_CONTENT_TYPE);
  for (char16_t c : contentType) body.contentType += c < 0x80 ? static_cast<char>(c) : '?';
  bool tooLarge = false;
  if (!ReadBody(request, signals, body.bytes, tooLarge)) {
    if (signals.stopRequested) return Failed(u"download failed");
    DebugLineA("InternetReadFile failed\n");
    return Failed(SilentMs(signals) + 500 >= kNetworkCallTimeoutMs ? u"timed out" : u"download failed");
  }
  if (tooLarge) {
    DebugLineA("Feed larger than 8 MB skipped\n");
    return Failed(u"larger than 8 MB");
  }
  if (signals.stopRequested) return Failed(u"download failed");
  return body;
}

// A 429 or 503: the feed rests as the server asks, within bounds.
FeedBody Refused(HINTERNET request, DWORD status, const std::u16string& url, const FeedRequestHint& hint) {
  const int64_t now = WallClockMs();
  const std::optional<int64_t> retryAfter = ParseRetryAfterMs(QueryBytes(request, HTTP_QUERY_RETRY_AFTER), now);
  const int64_t until = RestUntilMs(retryAfter, now, hint.nextCycleAtMs, hint.cycleMs);
  std::u16string reason = RestReason(status, until);
  FeedServerMemory::Module().Rest(url, until, reason);
  return Failed(std::move(reason));
}

// The redirect chain of one session, at most kMaxRedirects long. A chain
// that starts with permanent redirects leaves where they lead in `movedTo`.
FeedBody FollowAndRead(HINTERNET session, const std::u16string& url, FeedSignals& signals, std::u16string& movedTo) {
  std::u16string current = url;
  bool permanent = true;
  bool encoded = true;
  for (int redirects = 0;; ++redirects) {
    std::u16string reason;
    const OpenRequest open = SendRequest(session, current, encoded, signals, reason);
    if (!open.request) return Failed(reason);
    const DWORD status = StatusCode(open.request.get());
    if (IsRedirect(status)) {
      const std::u16string location = EncodeNonAsciiBytes(QueryBytes(open.request.get(), HTTP_QUERY_LOCATION));
      if (location.empty()) return Failed(HttpReason(status));
      if (redirects == kMaxRedirects) return Failed(u"too many redirects");
      if (signals.stopRequested) return Failed(u"download failed");
      current = ResolveUrl(current, location);
      if (!IsWebUrl(current)) return Failed(u"redirect to a non-web address");
      permanent = permanent && IsPermanentRedirect(status);
      if (permanent) movedTo = current;
      continue;
    }
    FeedBody body;
    if (status == 304) {
      body.finalUrl = current;
    } else if (status == 429 || status == 503) {
      body = Refused(open.request.get(), status, url, signals.hint);
    } else if (status == 410) {
      body = Failed(kGoneReason);
    } else if (status >= 300) {
      body = Failed(HttpReason(status));
    } else {
      const bool wasEncoded = !QueryBytes(open.request.get(), HTTP_QUERY_CONTENT_ENCODING).empty();
      body = ReadOpenedBody(open.request.get(), current, signals);
      // A body WinInet could not decode (Wine's takes deflate only without
      // its zlib wrapper) is asked for once more, unencoded, as WinInet's
      // documentation advises.
      if (wasEncoded && encoded && body.reason == u"download failed" && !signals.stopRequested) {
        encoded = false;
        --redirects;
        continue;
      }
    }
    body.httpStatus = static_cast<uint16_t>(status);
    if (status < 300) {
      body.etag = HeaderValue(open.request.get(), HTTP_QUERY_ETAG);
      body.lastModified = HeaderValue(open.request.get(), HTTP_QUERY_LAST_MODIFIED);
    }
    return body;
  }
}

}  // namespace

void DebugFeedLine(const std::u16string& url, const std::u16string& reason) {
  const std::u16string line = url + u": " + reason + u"\n";
  DebugLineW(reinterpret_cast<const wchar_t*>(line.c_str()));
}

FeedBody DownloadFeedBody(const std::u16string& url, FeedSignals& signals) {
  signals.lastProgress = GetTickCount64();
  FeedServerMemory& memory = FeedServerMemory::Module();
  // A feed that moved for good is asked for where it went; the list keeps
  // the address the user gave. A rest holds for both addresses.
  const std::u16string target = memory.Target(url);
  for (const std::u16string* address : {&url, &target})
    if (std::optional<std::u16string> resting = memory.Resting(*address, WallClockMs())) return Failed(std::move(*resting));
  UniqueInternetHandle session(InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    DebugLineW(L"InternetOpenA failed\n");
    return Failed(u"download failed");
  }
  LimitBlockingCalls(session.get());
  std::u16string movedTo;
  FeedBody body = signals.stopRequested ? Failed(u"download failed") : FollowAndRead(session.get(), target, signals, movedTo);
  if (!movedTo.empty()) memory.Moved(url, movedTo);
  if (target != url || !movedTo.empty()) body.movedTo = memory.Target(url);
  if (body.reason.starts_with(u"HTTP") || body.reason.find(u"redirect") != std::u16string::npos ||
      body.httpStatus == 410 || body.httpStatus == 429 || body.httpStatus == 503)
    DebugFeedLine(url, body.reason);
  return body;
}

}  // namespace quorvane
