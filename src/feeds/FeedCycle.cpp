#include "feeds/FeedCycle.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

#include "feeds/FeedDebugOutput.h"
#include "feeds/FeedDownload.h"
#include "win/com/Apartment.h"
#include "win/com/ModuleThread.h"

namespace quorvane {
namespace {

// While the module's download threads are at their limit, how often a
// cycle looks again for a free one.
constexpr DWORD kThreadSlotPollMs = 200;

// One download, shared by its thread and the cycle; whichever lets go last
// frees it.
struct DownloadJob {
  size_t index = 0;
  std::u16string url;
  FeedSignals signals;
  bool abandoned = false;  // timed out and counted as stuck; guarded by stuckLock
  UniqueHandle done;  // manual reset; set once `result` is written
  FeedResult result;
  ULONGLONG deadline = 0;
};

// Never destroyed: an abandoned download may still end while the process
// exits.
std::mutex& stuckLock = *new std::mutex;
std::atomic<size_t>& liveThreads = *new std::atomic<size_t>{0};

// The URLs of timed-out downloads that have not ended yet. A URL is not
// asked for again meanwhile, so a server that never answers costs one
// thread, not one per cycle.
std::multiset<std::u16string>& StuckUrls() {
  static auto* urls = new std::multiset<std::u16string>;
  return *urls;
}

bool IsStuck(const std::u16string& url) {
  std::lock_guard<std::mutex> guard(stuckLock);
  return StuckUrls().count(url) > 0;
}

// Stops a download; it ends on its own at its next check. One that ran out
// of time marks its URL as stuck; one stopped with its cycle does not, since
// the next list (a settings change, a new gadget) may well ask for the same
// feed at once and must not find it "timed out" before it was tried.
void Abandon(DownloadJob& job, bool timedOut) {
  if (timedOut) {
    std::lock_guard<std::mutex> guard(stuckLock);
    if (WaitForSingleObject(job.done.get(), 0) == WAIT_TIMEOUT) {
      job.abandoned = true;
      StuckUrls().insert(job.url);
    }
  }
  job.signals.stopRequested = true;
}

// How long the download's server has been silent as of `now`; the download
// may have heard from it since `now` was read.
ULONGLONG SilentMs(const DownloadJob& job, ULONGLONG now) {
  const ULONGLONG heard = job.signals.lastProgress.load();
  return now > heard ? now - heard : 0;
}

FeedResult Failure(const std::u16string& url, std::u16string reason) { return {FailedOutcome(url, std::move(reason)), {}}; }

FeedResult ParseBody(FeedSource& source, const std::u16string& url, FeedBody body, const std::atomic<bool>& stop) {
  FeedResult result;
  try {
    result.outcome = source.Parse(url, std::move(body), stop, result.records);
  } catch (...) {  // out of memory, most likely: this feed is skipped, the host lives on
    result.records.clear();
    result.records.shrink_to_fit();
    DebugFeedLine(url, u"skipped, out of memory");
    return Failure(url, u"out of memory");
  }
  return result;
}

// The feed's download and parse, on a thread of its own, so that a parse
// that outlives the deadline is left behind like a download.
std::shared_ptr<DownloadJob> StartFeed(const std::shared_ptr<FeedSource>& source, const FeedDownloader& download,
                                       size_t index, const std::u16string& url, uint32_t deadlineMs,
                                       const FeedRequestHint& hint) {
  auto job = std::make_shared<DownloadJob>();
  job->signals.hint = hint;
  job->index = index;
  job->url = url;
  job->deadline = GetTickCount64() + deadlineMs;
  job->signals.lastProgress = GetTickCount64();
  job->done = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!job->done) return nullptr;
  ++liveThreads;
  UniqueHandle thread = StartModuleThread([job, download, source] {
    try {
      // The parser's XML document belongs to this thread's apartment.
      ComApartment apartment(COINIT_MULTITHREADED);
      job->result = ParseBody(*source, job->url, download(job->url, job->signals), job->signals.stopRequested);
    } catch (...) {  // nothing may escape a thread; the feed is skipped
      job->result = Failure(job->url, u"download failed");
    }
    std::lock_guard<std::mutex> guard(stuckLock);
    if (job->abandoned) StuckUrls().erase(StuckUrls().find(job->url));
    --liveThreads;
    SetEvent(job->done.get());
  });
  if (thread) return job;
  --liveThreads;
  return nullptr;
}

// The cycle's downloads under way. Whatever way the cycle ends, they are
// stopped: none keeps reading for a cycle that is over.
class RunningDownloads {
 public:
  ~RunningDownloads() {
    for (const auto& job : jobs_) Abandon(*job, false);
  }
  std::vector<std::shared_ptr<DownloadJob>>& jobs() { return jobs_; }

  size_t Active(const FeedTiming& timing) const {
    const ULONGLONG now = GetTickCount64();
    return static_cast<size_t>(std::count_if(jobs_.begin(), jobs_.end(), [&](const auto& job) {
      return CountsAsActive(timing, SilentMs(*job, now));
    }));
  }

  // Until the first download's deadline, silence limit or quiet time.
  DWORD NextChangeMs(const FeedTiming& timing) const {
    const ULONGLONG now = GetTickCount64();
    ULONGLONG earliest = now + INFINITE - 1;
    for (const auto& job : jobs_) {
      const ULONGLONG heard = job->signals.lastProgress.load();
      earliest = std::min({earliest, job->deadline, heard + timing.silenceMs});
      if (heard + timing.quietMs > now) earliest = std::min<ULONGLONG>(earliest, heard + timing.quietMs);
    }
    return earliest > now ? static_cast<DWORD>(std::min<ULONGLONG>(earliest - now, INFINITE - 1)) : 0;
  }

  // Waits for the stopped downloads a moment, so a fetcher that joins its
  // worker leaves no thread behind where a stop ends a download at once.
  void StopAll() {
    HANDLE stopped[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    for (const auto& job : jobs_) {
      Abandon(*job, false);
      if (count < MAXIMUM_WAIT_OBJECTS) stopped[count++] = job->done.get();
    }
    if (count > 0) WaitForMultipleObjects(count, stopped, TRUE, kStoppedDownloadGraceMs);
  }

 private:
  std::vector<std::shared_ptr<DownloadJob>> jobs_;
};

}  // namespace

size_t LiveDownloadThreads() { return liveThreads.load(); }

void RunFeedCycle(const std::vector<std::u16string>& urls, const std::vector<size_t>& order,
                  const std::shared_ptr<FeedSource>& source, const std::atomic<bool>& stop, HANDLE wake,
                  const FeedTiming& timing, size_t concurrency, const FeedDone& done,
                  const std::vector<FeedRequestHint>& hints) {
  concurrency = std::clamp<size_t>(concurrency, 1, kMaxDownloadThreads);
  const FeedDownloader download = source->Downloader();
  RunningDownloads running;
  auto& jobs = running.jobs();
  size_t next = 0;
  while (!stop) {
    bool waitingForThread = false;
    while (next < order.size() && running.Active(timing) < concurrency) {
      const size_t index = order[next];
      const FeedRequestHint hint = index < hints.size() ? hints[index] : FeedRequestHint{};
      if (!hint.skip.empty()) {
        done(index, {SkippedOutcome(urls[index], hint), {}});
      } else if (IsStuck(urls[index])) {
        DebugFeedLine(urls[index], u"timed out");
        done(index, Failure(urls[index], u"timed out"));
      } else if (liveThreads.load() >= kMaxDownloadThreads) {
        waitingForThread = true;
        break;
      } else if (auto job = StartFeed(source, download, index, urls[index], timing.deadlineMs, hint)) {
        jobs.push_back(std::move(job));
      } else {
        done(index, Failure(urls[index], u"download failed"));
      }
      ++next;
    }
    if (jobs.empty() && !waitingForThread) break;

    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    for (const auto& job : jobs)
      if (count < MAXIMUM_WAIT_OBJECTS - 1) handles[count++] = job->done.get();
    if (wake) handles[count++] = wake;
    DWORD waitMs = running.NextChangeMs(timing);
    if (waitingForThread) waitMs = std::min(waitMs, kThreadSlotPollMs);
    if (count > 0) WaitForMultipleObjects(count, handles, FALSE, waitMs);
    else Sleep(waitMs);
    if (stop) break;

    // Every download that has finished, run out of time or gone silent, in
    // list order.
    const ULONGLONG now = GetTickCount64();
    for (auto it = jobs.begin(); it != jobs.end() && !stop;) {
      DownloadJob& job = **it;
      if (WaitForSingleObject(job.done.get(), 0) == WAIT_OBJECT_0) {
        done(job.index, std::move(job.result));
      } else if (now >= job.deadline || SilentMs(job, now) >= timing.silenceMs) {
        Abandon(job, true);
        DebugFeedLine(job.url, u"timed out");
        done(job.index, Failure(job.url, u"timed out"));
      } else {
        ++it;
        continue;
      }
      it = jobs.erase(it);
    }
  }
  running.StopAll();
}

FeedResult RunFeedStep(const std::u16string& url, const std::shared_ptr<FeedSource>& source, uint32_t deadlineMs) {
  const std::atomic<bool> stop{false};
  FeedTiming timing = CurrentFeedTiming();
  timing.deadlineMs = deadlineMs;
  FeedResult result;
  RunFeedCycle({url}, {0}, source, stop, nullptr, timing, 1,
               [&result](size_t, FeedResult feed) { result = std::move(feed); });
  return result;
}

}  // namespace quorvane
