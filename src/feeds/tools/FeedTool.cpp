// quorvane-feed: what the gadget would show for a feed.
//
//   quorvane-feed URL...         download, decode, parse and clean each feed
//   quorvane-feed --file PATH    the same for a file's bytes (decoded as a
//                                download is); one PATH per --file, and
//                                both forms may be mixed
//   quorvane-feed --help         the usage
//
// Writes each record as one line of JSON (UTF-8) to standard output and the
// worker's debug lines to standard error. Exit code 0 when it ran (or for
// --help), 1 when a file could not be read, 2 on bad usage.
#include <windows.h>
#include <objbase.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedDecoding.h"
#include "feeds/FeedDownload.h"
#include "feeds/FeedItemJson.h"
#include "feeds/WebFeedSource.h"

namespace {

using namespace quorvane;

constexpr char kUsage[] =
    "usage: quorvane-feed [URL | --file PATH]...\n"
    "  URL          a feed's address: download, decode, parse and clean it\n"
    "  --file PATH  the same for a file's bytes; one PATH per --file\n"
    "  --help, -h   this text\n"
    "Each headline is written as a line of JSON; debug lines go to standard error.\n";

struct Source {
  bool isFile;
  const wchar_t* name;
};

enum class Usage { kRun, kHelp, kBad };

// Anything that starts with "-" is an option, never a URL: a mistyped
// option must not be fetched as an address.
Usage ParseArguments(int argc, wchar_t** argv, std::vector<Source>& sources) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--help" || arg == L"-h" || arg == L"/?") return Usage::kHelp;
    if (arg == L"--file") {
      if (i + 1 >= argc) {
        std::fputs("quorvane-feed: --file needs a PATH\n", stderr);
        return Usage::kBad;
      }
      sources.push_back({true, argv[++i]});
    } else if (arg.starts_with(L"-")) {
      std::fprintf(stderr, "quorvane-feed: unknown option %ls\n", argv[i]);
      return Usage::kBad;
    } else if (arg.empty()) {
      std::fputs("quorvane-feed: an empty URL\n", stderr);
      return Usage::kBad;
    } else {
      sources.push_back({false, argv[i]});
    }
  }
  return sources.empty() ? Usage::kBad : Usage::kRun;
}

void WriteRecords(const std::vector<FeedItem>& records) {
  for (const FeedItem& record : records) {
    const std::string line = FeedItemJson(record) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  std::fflush(stdout);
}

bool ReadFileBytes(const wchar_t* path, std::string& bytes) {
  FILE* file = _wfopen(path, L"rb");
  if (!file) return false;
  char buffer[65536];
  size_t read;
  while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes.size() <= kMaxFeedBodyBytes)
    bytes.append(buffer, read);
  const bool ok = !std::ferror(file) && bytes.size() <= kMaxFeedBodyBytes;
  std::fclose(file);
  return ok;
}

std::u16string Utf16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<Source> sources;
  switch (ParseArguments(argc, argv, sources)) {
    case Usage::kHelp:
      std::fputs(kUsage, stdout);
      return 0;
    case Usage::kBad:
      std::fputs(kUsage, stderr);
      return 2;
    case Usage::kRun:
      break;
  }

  // Exactly the bytes written: UTF-8 and bare line feeds.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetDebugSink([](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  });
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  int status = 0;
  {
    WebFeedSource web;
    RssParser parser;
    for (const Source& source : sources) {
      std::vector<FeedItem> records;
      if (source.isFile) {
        std::string bytes;
        if (!ReadFileBytes(source.name, bytes)) {
          std::fprintf(stderr, "cannot read %ls (or larger than 8 MB)\n", source.name);
          status = 1;
          continue;
        }
        if (!bytes.empty()) parser.Parse(DecodeFeedBody(bytes), records);
      } else {
        FeedSignals signals;
        web.Fetch(Utf16(source.name), signals, records);
      }
      WriteRecords(records);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}
