#include "feeds/WebFeedSource.h"

#include "feeds/CodePageDetection.h"
#include "feeds/FeedDecoding.h"
#include "feeds/FeedDiscovery.h"
#include "feeds/FeedDownload.h"
#include "feeds/FeedUrl.h"

namespace quorvane {
namespace {

constexpr char16_t kHtmlPage[] = u"not a feed (HTML page)";

FeedBody NotAFeed(std::u16string finalUrl) {
  FeedBody body;
  body.finalUrl = std::move(finalUrl);
  body.reason = kHtmlPage;
  return body;
}

}  // namespace

FeedBody DownloadWithDiscovery(const std::u16string& url, FeedSignals& signals) {
  FeedBody page = DownloadFeedBody(url, signals);
  if (!page.reason.empty() || !IsHtmlPage(page.contentType, page.bytes)) return page;
  const std::optional<std::u16string> link = FindFeedLink(page.bytes);
  if (!link) {
    DebugFeedLine(url, kHtmlPage);
    return NotAFeed(page.finalUrl);
  }
  const std::u16string feedUrl = ResolveUrl(page.finalUrl, *link);
  page = FeedBody{};  // the page is no longer needed
  FeedBody feed = DownloadFeedBody(feedUrl, signals);
  if (feed.reason.empty() && IsHtmlPage(feed.contentType, feed.bytes)) {
    DebugFeedLine(feedUrl, kHtmlPage);
    return NotAFeed(feed.finalUrl);
  }
  if (feed.finalUrl.empty()) feed.finalUrl = feedUrl;
  return feed;
}

FeedDownloader WebFeedSource::Downloader() { return DownloadWithDiscovery; }

FeedOutcome WebFeedSource::Parse(const std::u16string& url, FeedBody body, const std::atomic<bool>& stop,
                                 std::vector<FeedItem>& cycle) {
  if (!body.reason.empty()) {
    FeedOutcome failed = FailedOutcome(url, std::move(body.reason));
    failed.finalUrl = std::move(body.finalUrl);
    return failed;
  }
  std::u16string text = DecodeFeedBody(body.bytes, CharsetOfContentType(body.contentType));
  body.bytes = std::string();  // the body's memory goes before the parser's comes
  const size_t before = cycle.size();
  RssParser parser;
  const bool loaded = parser.Parse(std::move(text), cycle, body.finalUrl.empty() ? url : body.finalUrl, &stop);
  if (stop) return FailedOutcome(url, u"download failed");
  if (!loaded) {
    FeedOutcome failed = FailedOutcome(url, u"XML error");
    failed.finalUrl = std::move(body.finalUrl);
    return failed;
  }
  FeedOutcome outcome = OkOutcome(url, static_cast<uint32_t>(cycle.size() - before));
  outcome.finalUrl = body.finalUrl.empty() ? url : std::move(body.finalUrl);
  if (outcome.recordCount > 0) outcome.feedTitle = cycle.back().feedTitle;
  if (outcome.recordCount == 0) outcome.reason = u"no items";
  return outcome;
}

}  // namespace quorvane
