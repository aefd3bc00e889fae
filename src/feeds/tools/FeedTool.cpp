// quorvane-feed: what the gadget would show for a feed.
//
//   quorvane-feed URL...         download, decode, parse and clean each feed
//   quorvane-feed --file PATH    the same for a file's bytes (decoded as a
//                                download is); one PATH per --file, and
//                                both forms may be mixed
//   --status                     each feed's outcome instead of its records
//   --timeout SECONDS            how long one feed may take (default 60)
//   quorvane-feed --help         the usage
//
// Writes each record (or outcome) as one line of JSON (UTF-8) to standard
// output, and the worker's debug lines and one line per failed feed (its
// URL and why) to standard error. Exit code 0 when every feed was read (a
// feed without headlines counts as read) or for --help, 1 when any feed or
// file failed, 2 on bad usage.
#include <windows.h>
#include <objbase.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "feeds/FeedCycle.h"
#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedDecoding.h"
#include "feeds/FeedDownload.h"
#include "feeds/FeedItemJson.h"
#include "feeds/FeedOutcomeJson.h"
#include "feeds/WebFeedSource.h"
#include "text/Utf8.h"
#include "win/com/Apartment.h"

namespace {

using namespace quorvane;

constexpr char kUsage[] =
    "usage: quorvane-feed [--status] [--timeout SECONDS] [URL | --file PATH]...\n"
    "  URL                a feed's address: download, decode, parse and clean it\n"
    "  --file PATH        the same for a file's bytes; one PATH per --file\n"
    "  --status           each feed's outcome (state, headlines, reason) instead of its headlines\n"
    "  --timeout SECONDS  how long one feed may take to download (default 60)\n"
    "  --help, -h         this text\n"
    "Each headline (or outcome) is written as a line of JSON; debug lines and one line\n"
    "per failed feed go to standard error. Exit code 1 when any feed failed.\n";

struct Source {
  bool isFile;
  const wchar_t* name;
};

struct ToolOptions {
  std::vector<Source> sources;
  bool statusOnly = false;
  uint32_t deadlineMs = CurrentFeedTiming().deadlineMs;
};

enum class Usage { kRun, kHelp, kBad };

// Anything that starts with "-" is an option, never a URL: a mistyped
// option must not be fetched as an address.
Usage ParseArguments(int argc, wchar_t** argv, ToolOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--help" || arg == L"-h" || arg == L"/?") return Usage::kHelp;
    if (arg == L"--file" || arg == L"--timeout") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "quorvane-feed: %ls needs a value\n", argv[i]);
        return Usage::kBad;
      }
      if (arg == L"--file") {
        options.sources.push_back({true, argv[++i]});
        continue;
      }
      const double seconds = _wtof(argv[++i]);
      if (!(seconds > 0 && seconds < 86400)) {
        std::fprintf(stderr, "quorvane-feed: --timeout takes seconds, not %ls\n", argv[i]);
        return Usage::kBad;
      }
      options.deadlineMs = static_cast<uint32_t>(seconds * 1000);
    } else if (arg == L"--status") {
      options.statusOnly = true;
    } else if (arg.starts_with(L"-")) {
      std::fprintf(stderr, "quorvane-feed: unknown option %ls\n", argv[i]);
      return Usage::kBad;
    } else if (arg.empty()) {
      std::fputs("quorvane-feed: an empty URL\n", stderr);
      return Usage::kBad;
    } else {
      options.sources.push_back({false, argv[i]});
    }
  }
  return options.sources.empty() ? Usage::kBad : Usage::kRun;
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

void WriteLine(FILE* stream, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ToolOptions options;
  switch (ParseArguments(argc, argv, options)) {
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
  ComApartment apartment(COINIT_MULTITHREADED);
  int status = 0;
  {
    const auto web = std::make_shared<WebFeedSource>();
    RssParser parser;
    // Every feed in one cycle, as the gadget reads them: a feed that stalls
    // holds back none of the others.
    std::vector<std::u16string> urls;
    for (const Source& source : options.sources)
      if (!source.isFile) urls.push_back(Utf16(source.name));
    std::vector<FeedResult> fetched(urls.size());
    std::vector<size_t> order(urls.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    FeedTiming timing = CurrentFeedTiming();
    timing.deadlineMs = options.deadlineMs;
    const std::atomic<bool> stop{false};
    RunFeedCycle(urls, order, web, stop, nullptr, timing, kConcurrentDownloads,
                 [&fetched](size_t index, FeedResult result) { fetched[index] = std::move(result); });
    size_t nextUrl = 0;
    for (const Source& source : options.sources) {
      std::vector<FeedItem> records;
      FeedOutcome outcome;
      if (source.isFile) {
        std::string bytes;
        if (!ReadFileBytes(source.name, bytes)) {
          std::fprintf(stderr, "cannot read %ls (or larger than 8 MB)\n", source.name);
          status = 1;
          continue;
        }
        const std::u16string_view refused = bytes.empty() ? u"" : parser.Parse(DecodeFeedBody(bytes), records);
        outcome = refused.empty() ? OkOutcome(Utf16(source.name), static_cast<uint32_t>(records.size()))
                                  : FailedOutcome(Utf16(source.name), std::u16string(refused));
        if (refused.empty() && records.empty()) outcome.reason = u"no items";
      } else {
        FeedResult& result = fetched[nextUrl++];
        outcome = std::move(result.outcome);
        records = std::move(result.records);
      }
      if (outcome.state == FeedState::Ok) {
        outcome.lastSuccess = static_cast<int64_t>(std::time(nullptr));
        if (outcome.feedTitle.empty() && !records.empty()) outcome.feedTitle = records.back().feedTitle;
      } else {
        WriteLine(stderr, "quorvane-feed: " + Utf16ToUtf8(outcome.url) + ": " + Utf16ToUtf8(outcome.reason));
        status = 1;
      }
      if (options.statusOnly) {
        WriteLine(stdout, FeedOutcomeJson(outcome));
      } else {
        WriteRecords(records);
      }
    }
  }
  return status;
}
