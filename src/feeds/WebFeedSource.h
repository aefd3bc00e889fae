#pragma once
// The real per-feed step: download, decode, parse.
#include <memory>

#include "feeds/FeedWorker.h"
#include "feeds/RssParser.h"

namespace quorvane {

class WebFeedSource : public FeedSource {
 public:
  FeedOutcome Fetch(const std::u16string& url, FeedSignals& signals, std::vector<FeedItem>& cycle) override;

 private:
  RssParser parser_;
};

inline std::unique_ptr<FeedSource> MakeWebFeedSource() { return std::make_unique<WebFeedSource>(); }

}  // namespace quorvane
