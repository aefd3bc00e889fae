#include "feeds/WebFeedSource.h"

#include "feeds/FeedDecoding.h"
#include "feeds/FeedDownload.h"

namespace quorvane {

FeedOutcome WebFeedSource::Fetch(const std::u16string& url, FeedSignals& signals, std::vector<FeedItem>& cycle) {
  std::optional<std::string> body = DownloadFeedBody(url, signals);
  if (!body || signals.stopRequested) return FailedOutcome(url, u"download failed");
  const size_t before = cycle.size();
  parser_.Parse(DecodeFeedBody(*body), cycle, url);
  FeedOutcome outcome = OkOutcome(url, static_cast<uint32_t>(cycle.size() - before));
  if (outcome.recordCount > 0) outcome.feedTitle = cycle.back().feedTitle;
  return outcome;
}

}  // namespace quorvane
