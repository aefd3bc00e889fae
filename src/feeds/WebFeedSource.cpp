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

// Only the start is decoded: the root element comes after the prolog, and a
// prolog of this length is no feed's.
constexpr size_t kRootSearchBytes = 256 * 1024;

bool IsHtmlBody(const FeedBody& body) {
  if (!body.reason.empty()) return false;
  const std::string_view start = std::string_view(body.bytes).substr(0, kRootSearchBytes);
  return IsHtmlPage(body.contentType, DecodeFeedBody(start, CharsetOfContentType(body.contentType)));
}

// What a read feed's outcome says of the answer: its validators, a 304,
// a permanent move.
FeedOutcome Courteous(FeedOutcome outcome, const FeedBody& body) {
  outcome.finalUrl = body.finalUrl.empty() ? outcome.url : body.finalUrl;
  outcome.httpStatus = body.httpStatus;
  outcome.etag = body.etag;
  outcome.lastModified = body.lastModified;
  if (body.httpStatus == 304) outcome.reason = kNotModifiedReason;
  if (!body.movedTo.empty()) outcome.reason = kMovedReason + body.movedTo;
  return outcome;
}

}  // namespace

FeedBody DownloadWithDiscovery(const std::u16string& url, FeedSignals& signals) {
  FeedBody page = DownloadFeedBody(url, signals);
  if (!IsHtmlBody(page)) return page;
  const std::optional<std::u16string> link = FindFeedLink(page.bytes);
  // Only a web address is followed: a page must not send the gadget to
  // FTP, a file or any other scheme.
  const std::u16string feedUrl = link ? ResolveUrl(page.finalUrl, *link) : std::u16string();
  if (!IsWebUrl(feedUrl)) {
    DebugFeedLine(url, kHtmlPage);
    return NotAFeed(page.finalUrl);
  }
  page = FeedBody{};  // the page is no longer needed
  FeedBody feed = DownloadFeedBody(feedUrl, signals);
  if (IsHtmlBody(feed)) {
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
    failed.httpStatus = body.httpStatus;
    return failed;
  }
  if (body.httpStatus == 304) return Courteous(OkOutcome(url, 0), body);  // the store keeps its records
  std::u16string text = DecodeFeedBody(body.bytes, CharsetOfContentType(body.contentType));
  body.bytes = std::string();  // the body's memory goes before the parser's comes
  const size_t before = cycle.size();
  RssParser parser;
  const std::u16string_view refused =
      parser.Parse(std::move(text), cycle, body.finalUrl.empty() ? url : body.finalUrl, &stop);
  if (stop) return FailedOutcome(url, u"download failed");
  if (!refused.empty()) {
    FeedOutcome failed = FailedOutcome(url, std::u16string(refused));
    failed.finalUrl = std::move(body.finalUrl);
    return failed;
  }
  FeedOutcome outcome = OkOutcome(url, static_cast<uint32_t>(cycle.size() - before));
  if (outcome.recordCount > 0) outcome.feedTitle = cycle.back().feedTitle;
  if (outcome.recordCount == 0) outcome.reason = u"no items";
  return Courteous(std::move(outcome), body);
}

}  // namespace quorvane
