#include "feeds/RssParser.h"

#include <algorithm>

#include "feeds/AtomParser.h"
#include "feeds/RecordText.h"
#include "feeds/TimeStamp.h"
#include "text/HeadlineCleanup.h"

namespace quorvane {
namespace {

// The text of the first match, empty when there is none.
std::u16string SelectText(IXMLDOMNode* from, const wchar_t* query) {
  ComPtr<IXMLDOMNode> node = SelectSingle(from, query);
  return node ? NodeText(node.Get()) : std::u16string();
}

SharedText LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatTimeStamp(now.wHour, now.wMinute);
}

// `common` holds the feed's texts; every record shares them. The item's
// first description, title and link children are found in one pass over
// its children: a query per child costs MSXML several times that, which
// tells in a feed of a hundred thousand items.
void AppendItem(IXMLDOMNode* item, const FeedItem& common, std::vector<FeedItem>& cycle) {
  ComPtr<IXMLDOMNode> description, title, link;
  for (ComPtr<IXMLDOMNode> child = FirstChildNode(item); child; child = NextSiblingNode(child.Get())) {
    if (NodeType(child.Get()) != NODE_ELEMENT) continue;
    const std::u16string name = NodeName(child.Get());
    // (WRL's ComPtr has an operator& that releases: no pointers to these.)
    if (name == u"description" && !description) description = child;
    if (name == u"title" && !title) title = child;
    if (name == u"link" && !link) link = child;
  }
  if (!description) return;
  FeedItem record = common;
  record.description = NodeText(description.Get());
  if (title) record.title = NodeText(title.Get());
  if (!CleanRecordTexts(record)) return;
  if (link) record.link = NodeText(link.Get());
  cycle.push_back(std::move(record));
}

}  // namespace

void CleanBoundedText(std::u16string& text) {
  CutAtCharacterBoundary(text, kMaxRawRecordTextChars);
  CleanHeadlineText(text);
  CutAtCharacterBoundary(text, kMaxRecordTextChars);
}

SharedText CleanFeedTitle(std::u16string title) {
  if (!title.empty()) CleanBoundedText(title);
  return SharedText(std::move(title));
}

bool CleanRecordTexts(FeedItem& record) {
  if (record.description.empty()) return false;
  CleanBoundedText(record.description);
  if (record.description.empty()) record.description = kNotReadableText;
  if (record.title.empty()) {
    record.title = kNoTitleText;
  } else {
    CleanBoundedText(record.title);
  }
  return true;
}

std::u16string_view RssParser::Parse(std::u16string text, std::vector<FeedItem>& cycle, std::u16string_view feedUrl,
                                     const std::atomic<bool>* stop) {
  // Whatever the document held before is gone only if this load succeeded.
  if (const std::u16string_view refused = document_.Load(std::move(text)); !refused.empty()) return refused;
  IXMLDOMDocument* document = document_.Get();
  const SharedText timeStamp = LocalTimeStamp();

  ComPtr<IXMLDOMNodeList> items;
  UniqueBstr itemQuery(L"//item");
  long count = 0;
  if (document->selectNodes(itemQuery.get(), items.GetAddressOf()) != S_OK || !items) items.Reset();
  if (items) items->get_length(&count);
  if (count <= 0) {
    // No RSS item anywhere: an Atom feed, or nothing to show.
    ParseAtomEntries(document, feedUrl, timeStamp, cycle);
    return {};
  }

  FeedItem common;
  common.feedTitle = CleanFeedTitle(SelectText(document, L"//title"));
  common.timeStamp = timeStamp;
  cycle.reserve(cycle.size() + static_cast<size_t>(count));  // no doubling peak for a large feed
  for (long i = 0; i < count && !(stop && *stop); ++i) {
    ComPtr<IXMLDOMNode> item;
    if (items->get_item(i, item.GetAddressOf()) == S_OK && item) AppendItem(item.Get(), common, cycle);
  }
  return {};
}

void RssParser::Clear() { document_.Clear(); }

}  // namespace quorvane
