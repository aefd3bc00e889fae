#include "feeds/RssParser.h"

#include <windows.h>
#include <msxml2.h>

#include <algorithm>

#include "feeds/EntityCheck.h"
#include "feeds/TimeStamp.h"
#include "feeds/XmlDeclaration.h"
#include "host/com/ComPtr.h"
#include "text/HeadlineCleanup.h"

namespace quorvane {
namespace {

// msxml2.h redirects CLSID_DOMDocument to a GUID no library defines.
constexpr CLSID kDomDocumentClass = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocumentInterface = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocument2Interface = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

constexpr char16_t kNoTitle[] = u"<No Title>";
constexpr char16_t kNotReadable[] = u"Feed not readable";

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, VARIANT value) {
  UniqueBstr key(name);
  document->setProperty(key.get(), value);
}

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT Int(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// Nothing of a feed reaches beyond its own text: no external entities or
// DTDs, no script, bounded depth and size.
void Harden(IXMLDOMDocument* document) {
  document->put_resolveExternals(VARIANT_FALSE);
  ComPtr<IXMLDOMDocument2> document2;
  if (FAILED(document->QueryInterface(kDomDocument2Interface, reinterpret_cast<void**>(document2.GetAddressOf()))))
    return;
  SetProperty(document2.Get(), L"ProhibitDTD", Bool(false));  // RSS 0.91 names a DTD
  SetProperty(document2.Get(), L"ResolveExternals", Bool(false));
  SetProperty(document2.Get(), L"AllowDocumentFunction", Bool(false));
  SetProperty(document2.Get(), L"AllowXsltScript", Bool(false));
  SetProperty(document2.Get(), L"MaxElementDepth", Int(256));
  SetProperty(document2.Get(), L"MaxXMLSize", Int(32 * 1024));  // in kilobytes
}

ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* from, const wchar_t* query) {
  ComPtr<IXMLDOMNode> node;
  UniqueBstr text(query);
  if (from->selectSingleNode(text.get(), node.GetAddressOf()) != S_OK) node.Reset();
  return node;
}

std::u16string NodeText(IXMLDOMNode* node) {
  VARIANT value;
  VariantInit(&value);
  std::u16string text;
  if (SUCCEEDED(node->get_nodeTypedValue(&value))) {
    if (value.vt != VT_BSTR) VariantChangeType(&value, &value, 0, VT_BSTR);
    if (value.vt == VT_BSTR && value.bstrVal)
      text.assign(reinterpret_cast<const char16_t*>(value.bstrVal), SysStringLen(value.bstrVal));
  }
  VariantClear(&value);
  return text;
}

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

}  // namespace

RssParser::RssParser() {
  if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocumentInterface,
                              reinterpret_cast<void**>(&document_)))) {
    document_ = nullptr;
    return;
  }
  document_->put_validateOnParse(VARIANT_TRUE);
  document_->put_async(VARIANT_FALSE);
  Harden(document_);
}

RssParser::~RssParser() {
  if (document_) document_->Release();
}

bool RssParser::Parse(std::u16string text, std::vector<FeedItem>& cycle, const std::atomic<bool>* stop) {
  if (!document_ || HasUnsafeEntities(text) || HasUnterminatedMarkup(text)) return false;
  RemoveDeclaredEncoding(text);
  UniqueBstr xml(text);
  text = std::u16string();  // one copy of the text at a time
  VARIANT_BOOL loaded = VARIANT_FALSE;
  // Whatever the document held before is gone only if this load succeeded.
  if (document_->loadXML(xml.get(), &loaded) != S_OK || loaded != VARIANT_TRUE) return false;
  xml = UniqueBstr();

  const std::u16string timeStamp = LocalTimeStamp();
  std::u16string feedTitle = SelectText(document_, L"//title");
  if (!feedTitle.empty()) CleanHeadlineText(feedTitle);

  ComPtr<IXMLDOMNodeList> items;
  UniqueBstr itemQuery(L"//item");
  if (document_->selectNodes(itemQuery.get(), items.GetAddressOf()) != S_OK || !items) return true;
  long count = 0;
  items->get_length(&count);
  cycle.reserve(cycle.size() + static_cast<size_t>(std::max(count, 0L)));  // no doubling peak for a large feed
  for (long i = 0; i < count && !(stop && *stop); ++i) {
    ComPtr<IXMLDOMNode> item;
    if (items->get_item(i, item.GetAddressOf()) != S_OK || !item) continue;
    FeedItem record;
    record.description = SelectText(item.Get(), L"description");
    if (record.description.empty()) continue;
    CleanHeadlineText(record.description);
    if (record.description.empty()) record.description = kNotReadable;
    record.title = SelectText(item.Get(), L"title");
    if (record.title.empty()) {
      record.title = kNoTitle;
    } else {
      CleanHeadlineText(record.title);
    }
    record.link = SelectText(item.Get(), L"link");
    record.feedTitle = feedTitle;
    record.timeStamp = timeStamp;
    cycle.push_back(std::move(record));
  }
  return true;
}

void RssParser::Clear() {
  if (!document_) return;
  UniqueBstr empty(L"<empty/>");
  VARIANT_BOOL loaded = VARIANT_FALSE;
  document_->loadXML(empty.get(), &loaded);
}

}  // namespace quorvane
