#pragma once
// The real per-feed step: download (with feed discovery), decode, parse.
#include <memory>

#include "feeds/FeedWorker.h"
#include "feeds/RssParser.h"

namespace quorvane {

class WebFeedSource : public FeedSource {
 public:
  FeedDownloader Downloader() override;
  // With an XML document of the calling thread's own, made for this feed.
  FeedOutcome Parse(const std::u16string& url, FeedBody body, const std::atomic<bool>& stop,
                    std::vector<FeedItem>& cycle) override;
};

// Downloads `url`; when it answers with a web page, the feed that page names
// in its <link rel="alternate">, read in the same step (one step, never a
// chain). A page without such a link, or whose link is not an http or https
// address, is "not a feed (HTML page)".
FeedBody DownloadWithDiscovery(const std::u16string& url, FeedSignals& signals);

inline std::unique_ptr<FeedSource> MakeWebFeedSource() { return std::make_unique<WebFeedSource>(); }

}  // namespace quorvane
