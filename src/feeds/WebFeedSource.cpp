#include "feeds/WebFeedSource.h"

#include "feeds/FeedDecoding.h"
#include "feeds/FeedDownload.h"

namespace quorvane {

void WebFeedSource::Fetch(const std::u16string& url, FeedSignals& signals, std::vector<FeedItem>& cycle) {
  std::optional<std::string> body = DownloadFeedBody(url, signals);
  if (!body || signals.stopRequested) return;
  parser_.Parse(DecodeFeedBody(*body), cycle);
}

}  // namespace quorvane
