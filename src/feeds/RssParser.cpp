#include "feeds/RssParser.h"

#include <algorithm>

#include "feeds/AtomParser.h"
#include "feeds/TimeStamp.h"
#include "text/HeadlineCleanup.h"

namespace quorvane {
namespace {

// The text of the first match, empty when there is none.
std::u16string SelectText(IXMLDOMNode* from, const wchar_t* query) {
  ComPtr<IXMLDOMNode> node = SelectSingle(from, query);
  return node ? NodeText(node.Get()) : std::u16string();
}

std::u16string LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatTimeStamp(now.wHour, now.wMinute);
}

void AppendItem(IXMLDOMNode* item, const std::u16string& feedTitle, const std::u16string& timeStamp,
                std::vector<FeedItem>& cycle) {
  FeedItem record;
  record.description = SelectText(item, L"description");
  record.title = SelectText(item, L"title");
  if (!CleanRecordTexts(record)) return;
  record.link = SelectText(item, L"link");
  record.feedTitle = feedTitle;
  record.timeStamp = timeStamp;
  cycle.push_back(std::move(record));
}

}  // namespace

bool CleanRecordTexts(FeedItem& record) {
  if (record.description.empty()) return false;
  CleanHeadlineText(record.description);
  if (record.description.empty()) record.description = kNotReadableText;
  if (record.title.empty()) {
    record.title = kNoTitleText;
  } else {
    CleanHeadlineText(record.title);
  }
  return true;
}

bool RssParser::Parse(std::u16string text, std::vector<FeedItem>& cycle, std::u16string_view feedUrl,
                      const std::atomic<bool>* stop) {
  // Whatever the document held before is gone only if this load succeeded.
  if (!document_.Load(std::move(text))) return false;
  IXMLDOMDocument* document = document_.Get();
  const std::u16string timeStamp = LocalTimeStamp();

  ComPtr<IXMLDOMNodeList> items;
  UniqueBstr itemQuery(L"//item");
  long count = 0;
  if (document->selectNodes(itemQuery.get(), items.GetAddressOf()) != S_OK || !items) items.Reset();
  if (items) items->get_length(&count);
  if (count <= 0) {
    // No RSS item anywhere: an Atom feed, or nothing to show.
    ParseAtomEntries(document, feedUrl, timeStamp, cycle);
    return true;
  }

  std::u16string feedTitle = SelectText(document, L"//title");
  if (!feedTitle.empty()) CleanHeadlineText(feedTitle);
  cycle.reserve(cycle.size() + static_cast<size_t>(count));  // no doubling peak for a large feed
  for (long i = 0; i < count && !(stop && *stop); ++i) {
    ComPtr<IXMLDOMNode> item;
    if (items->get_item(i, item.GetAddressOf()) == S_OK && item) AppendItem(item.Get(), feedTitle, timeStamp, cycle);
  }
  return true;
}

void RssParser::Clear() { document_.Clear(); }

}  // namespace quorvane
