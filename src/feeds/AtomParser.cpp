#include "feeds/AtomParser.h"

#include <cwctype>

#include "feeds/FeedUrl.h"
#include "feeds/RssParser.h"
#include "feeds/XmlDocument.h"

namespace quorvane {
namespace {

constexpr char16_t kXhtmlNamespace[] = u"http://www.w3.org/1999/xhtml";

bool IsElement(IXMLDOMNode* node, std::u16string_view ns, std::u16string_view name) {
  return NodeType(node) == NODE_ELEMENT && LocalName(node) == name && NamespaceOf(node) == ns;
}

// The element children of `parent` named `name` in namespace `ns`, in
// order, each handed to `visit` until it returns false.
template <class Visit>
void ForEachChild(IXMLDOMNode* parent, std::u16string_view ns, std::u16string_view name, Visit visit) {
  for (ComPtr<IXMLDOMNode> child = FirstChildNode(parent); child; child = NextSiblingNode(child.Get()))
    if (IsElement(child.Get(), ns, name) && !visit(child.Get())) return;
}

ComPtr<IXMLDOMNode> FirstChild(IXMLDOMNode* parent, std::u16string_view ns, std::u16string_view name) {
  ComPtr<IXMLDOMNode> found;
  ForEachChild(parent, ns, name, [&](IXMLDOMNode* child) {
    found = child;
    return false;
  });
  return found;
}

std::u16string Lower(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(std::towlower(c));
  return text;
}

// The text of a title, summary or content element by its type: escaped
// mark-up stays mark-up for the cleanup (like RSS), xhtml gives the text of
// its div, and a non-text media type counts as missing.
std::u16string ConstructText(IXMLDOMNode* element) {
  const std::u16string type = Lower(AttributeText(element, L"type"));
  if (type.empty() || type == u"text" || type == u"html" || type.starts_with(u"text/")) return NodeText(element);
  if (type == u"xhtml") {
    ComPtr<IXMLDOMNode> div = FirstChild(element, kXhtmlNamespace, u"div");
    return NodeText(div ? div.Get() : element);
  }
  return {};
}

std::u16string ChildText(IXMLDOMNode* parent, std::u16string_view name) {
  ComPtr<IXMLDOMNode> child = FirstChild(parent, kAtomNamespace, name);
  return child ? ConstructText(child.Get()) : std::u16string();
}

// Content given by reference (src) is not in the feed: missing.
std::u16string ContentText(IXMLDOMNode* entry) {
  ComPtr<IXMLDOMNode> content = FirstChild(entry, kAtomNamespace, u"content");
  if (!content || HasAttribute(content.Get(), L"src")) return {};
  return ConstructText(content.Get());
}

// The href of the first link whose rel is absent or "alternate".
std::u16string AlternateLink(IXMLDOMNode* entry, std::u16string_view feedUrl) {
  std::u16string href;
  ForEachChild(entry, kAtomNamespace, u"link", [&](IXMLDOMNode* link) {
    const std::u16string rel = AttributeText(link, L"rel");
    if (!rel.empty() && rel != u"alternate") return true;
    href = AttributeText(link, L"href");
    return false;
  });
  return href.empty() ? href : ResolveUrl(feedUrl, href);
}

// `record` comes with the feed's shared texts.
bool AppendEntry(IXMLDOMNode* entry, std::u16string_view feedUrl, FeedItem record, std::vector<FeedItem>& cycle) {
  record.description = ChildText(entry, u"summary");
  if (record.description.empty()) record.description = ContentText(entry);
  record.title = ChildText(entry, u"title");
  if (!CleanRecordTexts(record)) return true;
  record.link = AlternateLink(entry, feedUrl);
  cycle.push_back(std::move(record));
  return true;
}

}  // namespace

void ParseAtomEntries(IXMLDOMDocument* document, std::u16string_view feedUrl, const SharedText& timeStamp,
                      std::vector<FeedItem>& cycle) {
  ComPtr<IXMLDOMElement> rootElement;
  if (document->get_documentElement(rootElement.GetAddressOf()) != S_OK || !rootElement) return;
  ComPtr<IXMLDOMNode> root(rootElement.Get());  // an element is a node
  FeedItem common;
  common.timeStamp = timeStamp;
  if (IsElement(root.Get(), kAtomNamespace, u"entry")) {
    AppendEntry(root.Get(), feedUrl, common, cycle);
    return;
  }
  if (!IsElement(root.Get(), kAtomNamespace, u"feed")) return;
  common.feedTitle = CleanFeedTitle(ChildText(root.Get(), u"title"));
  ForEachChild(root.Get(), kAtomNamespace, u"entry",
               [&](IXMLDOMNode* entry) { return AppendEntry(entry, feedUrl, common, cycle); });
}

}  // namespace quorvane
