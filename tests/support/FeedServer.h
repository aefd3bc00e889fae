#pragma once
// The local feed server (tests/support/feed_server.py) as the Wine tests see
// it: its base URL, which the wrapper puts in QUORVANE_FEED_SERVER, and its
// count of requests by path.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "win/base/UniqueAny.h"

namespace quorvane::test {

// "http://127.0.0.1:PORT", or empty when the test runs without the wrapper.
inline std::u16string FeedServer() {
  const char* base = std::getenv("QUORVANE_FEED_SERVER");
  return base ? std::u16string(base, base + std::strlen(base)) : std::u16string();
}

// A feed list of one URL on the server.
inline std::u16string ServedFeedList(const std::u16string& path) { return FeedServer() + path + u" URL "; }

// How many requests the server has had for `path` (its /hits page answers
// "PATH COUNT"), or -1 when it does not answer.
inline int ServerHits(const std::u16string& path) {
  const std::u16string query = FeedServer() + u"/hits?path=" + path;
  UniqueInternetHandle session(InternetOpenW(L"QuorvaneRSS tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return -1;
  UniqueInternetHandle request(InternetOpenUrlW(session.get(), reinterpret_cast<const wchar_t*>(query.c_str()),
                                                nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  std::string body;
  char buffer[512];
  DWORD read = 0;
  while (request && InternetReadFile(request.get(), buffer, sizeof(buffer), &read) && read) body.append(buffer, read);
  const std::string prefix = std::string(path.begin(), path.end()) + " ";
  return body.compare(0, prefix.size(), prefix) == 0 ? std::atoi(body.c_str() + prefix.size()) : -1;
}

}  // namespace quorvane::test
