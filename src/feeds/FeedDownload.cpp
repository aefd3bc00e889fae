#include "feeds/FeedDownload.h"

#include <windows.h>
#include <wininet.h>

#include "feeds/FeedDebugOutput.h"

namespace quorvane {
namespace {

constexpr DWORD kChunkBytes = 2048;

struct InternetHandle {
  HINTERNET handle;
  ~InternetHandle() {
    if (handle) InternetCloseHandle(handle);
  }
};

// Reads until the end of the body; false on a failed read, which includes a
// request that the stopper has taken and closed (some WinInets let a read
// on a closed handle run on until the server ends the connection). Bytes
// read through a handle that was taken meanwhile are never kept.
bool ReadBody(FeedSignals& signals, std::string& body, bool& tooLarge) {
  char chunk[kChunkBytes];
  while (true) {
    const HINTERNET request = static_cast<HINTERNET>(signals.currentRequest.load());
    DWORD read = 0;
    const bool ok = request && InternetReadFile(request, chunk, kChunkBytes, &read);
    if (!ok || signals.currentRequest.load() != request) return false;
    if (read == 0 || signals.stopRequested) return true;
    if (body.size() + read > kMaxFeedBodyBytes) {
      tooLarge = true;
      return true;
    }
    body.append(chunk, read);  // grows geometrically
  }
}

}  // namespace

std::optional<std::string> DownloadFeedBody(const std::u16string& url, FeedSignals& signals) {
  InternetHandle internet{InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
  if (!internet.handle) {
    DebugLineW(L"InternetOpenA failed\n");
    return std::nullopt;
  }
  CloseCurrentRequest(signals);
  HINTERNET request = InternetOpenUrlW(internet.handle, reinterpret_cast<const wchar_t*>(url.c_str()), nullptr, 0,
                                       INTERNET_FLAG_NO_UI, 0);
  if (!request) {
    DebugLineA("InternetConnectA failed\n");
    return std::nullopt;
  }
  signals.currentRequest = request;
  // A stop that came while the request was being opened found nothing to
  // close: close it here rather than read.
  if (signals.stopRequested) {
    CloseCurrentRequest(signals);
    return std::nullopt;
  }

  std::string body;
  bool tooLarge = false;
  const bool ok = ReadBody(signals, body, tooLarge);
  CloseCurrentRequest(signals);
  if (!ok) {
    DebugLineA("InternetReadFile failed\n");
    return std::nullopt;
  }
  if (tooLarge) {
    DebugLineA("Feed larger than 8 MB skipped\n");
    return std::nullopt;
  }
  if (signals.stopRequested || body.empty()) return std::nullopt;
  return body;
}

}  // namespace quorvane
