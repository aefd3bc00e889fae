#include "feeds/FeedCycle.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedDownload.h"
#include "win/com/ModuleThread.h"

namespace quorvane {
namespace {

// One download, shared by its thread and the cycle; whichever lets go last
// frees it.
struct DownloadJob {
  size_t index = 0;
  std::u16string url;
  FeedSignals signals;
  bool abandoned = false;  // timed out and counted as stuck; guarded by stuckLock
  UniqueHandle done;  // manual reset; set once `body` is written
  FeedBody body;
  ULONGLONG deadline = 0;
};

// The URLs of abandoned downloads that have not ended yet. Where closing the
// request does not end a blocked read, such a download lasts until the
// server sends or closes; a URL is not asked for again meanwhile, so a
// server that never answers costs one thread, not one per cycle.
// Never destroyed: an abandoned download may still end while the process
// exits.
std::mutex& stuckLock = *new std::mutex;
std::multiset<std::u16string>& StuckUrls() {
  static auto* urls = new std::multiset<std::u16string>;
  return *urls;
}

bool IsStuck(const std::u16string& url) {
  std::lock_guard<std::mutex> guard(stuckLock);
  return StuckUrls().count(url) > 0;
}

// Stops a download and leaves it to end on its own. One that ran out of time
// marks its URL as stuck; one stopped with its cycle does not, since the
// next list (a settings change, a new gadget) may well ask for the same feed
// at once and must not find it "timed out" before it was tried.
void Abandon(DownloadJob& job, bool timedOut) {
  if (timedOut) {
    std::lock_guard<std::mutex> guard(stuckLock);
    if (WaitForSingleObject(job.done.get(), 0) == WAIT_TIMEOUT) {
      job.abandoned = true;
      StuckUrls().insert(job.url);
    }
  }
  job.signals.stopRequested = true;
  CloseCurrentRequest(job.signals);
}

std::shared_ptr<DownloadJob> StartDownload(const FeedDownloader& download, size_t index, const std::u16string& url,
                                           uint32_t deadlineMs) {
  auto job = std::make_shared<DownloadJob>();
  job->index = index;
  job->url = url;
  job->deadline = GetTickCount64() + deadlineMs;
  job->done = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!job->done) return nullptr;
  UniqueHandle thread = StartModuleThread([job, download] {
    try {
      job->body = download(job->url, job->signals);
    } catch (...) {  // nothing may escape a thread; the feed is skipped
      job->body.bytes.clear();
      job->body.bytes.shrink_to_fit();
      job->body.reason = u"download failed";
    }
    std::lock_guard<std::mutex> guard(stuckLock);
    if (job->abandoned) StuckUrls().erase(StuckUrls().find(job->url));
    SetEvent(job->done.get());
  });
  return thread ? job : nullptr;
}

FeedResult Failure(const std::u16string& url, std::u16string reason) { return {FailedOutcome(url, std::move(reason)), {}}; }

FeedResult ParseBody(FeedSource& source, DownloadJob& job, const std::atomic<bool>& stop) {
  FeedResult result;
  try {
    result.outcome = source.Parse(job.url, std::move(job.body), stop, result.records);
  } catch (...) {  // out of memory, most likely: this feed is skipped, the host lives on
    result.records.clear();
    result.records.shrink_to_fit();
    DebugFeedLine(job.url, u"skipped, out of memory");
    return Failure(job.url, u"out of memory");
  }
  return result;
}

}  // namespace

void RunFeedCycle(const std::vector<std::u16string>& urls, FeedSource& source, const std::atomic<bool>& stop,
                  HANDLE wake, uint32_t deadlineMs, size_t concurrency, const FeedDone& done) {
  concurrency = std::clamp<size_t>(concurrency, 1, MAXIMUM_WAIT_OBJECTS - 1);
  const FeedDownloader download = source.Downloader();
  std::vector<std::shared_ptr<DownloadJob>> running;
  size_t next = 0;
  while (!stop) {
    while (running.size() < concurrency && next < urls.size()) {
      if (IsStuck(urls[next])) {
        DebugFeedLine(urls[next], u"timed out");
        done(next, Failure(urls[next], u"timed out"));
      } else if (auto job = StartDownload(download, next, urls[next], deadlineMs)) {
        running.push_back(std::move(job));
      } else {
        done(next, Failure(urls[next], u"download failed"));
      }
      ++next;
    }
    if (running.empty()) break;

    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    ULONGLONG earliest = running.front()->deadline;
    for (const auto& job : running) {
      handles[count++] = job->done.get();
      earliest = std::min(earliest, job->deadline);
    }
    if (wake) handles[count++] = wake;
    const ULONGLONG now = GetTickCount64();
    WaitForMultipleObjects(count, handles, FALSE, earliest > now ? static_cast<DWORD>(earliest - now) : 0);
    if (stop) break;

    // Every download that has finished or run out of time, in list order.
    for (auto it = running.begin(); it != running.end() && !stop;) {
      DownloadJob& job = **it;
      if (WaitForSingleObject(job.done.get(), 0) == WAIT_OBJECT_0) {
        done(job.index, ParseBody(source, job, stop));
      } else if (GetTickCount64() >= job.deadline) {
        Abandon(job, true);
        DebugFeedLine(job.url, u"timed out");
        done(job.index, Failure(job.url, u"timed out"));
      } else {
        ++it;
        continue;
      }
      it = running.erase(it);
    }
  }
  if (running.empty()) return;
  HANDLE stopped[MAXIMUM_WAIT_OBJECTS];
  DWORD count = 0;
  for (const auto& job : running) {
    Abandon(*job, false);
    stopped[count++] = job->done.get();
  }
  // A download that ends as soon as its request is closed (as on Windows,
  // or one still connecting) ends with the cycle, so a stopped fetcher that
  // joins its worker leaves no thread behind; the rest end on their own.
  WaitForMultipleObjects(count, stopped, TRUE, kStoppedDownloadGraceMs);
}

FeedResult RunFeedStep(const std::u16string& url, FeedSource& source, uint32_t deadlineMs) {
  const std::atomic<bool> stop{false};
  FeedResult result;
  RunFeedCycle({url}, source, stop, nullptr, deadlineMs, 1,
               [&result](size_t, FeedResult feed) { result = std::move(feed); });
  return result;
}

}  // namespace quorvane
