#pragma once
// An MSXML document for text that comes from outside (feeds, OPML files),
// with the same defences for every use: no external entities or DTDs, no
// script, bounded depth and size, and no document whose own DTD declares
// entities that would expand without bound.
#include <windows.h>
#include <msxml2.h>

#include <string>
#include <string_view>

#include "feeds/MarkupShape.h"
#include "win/com/ComPtr.h"

namespace quorvane {

class XmlDocument {
 public:
  // Creates the document; COM must be initialised on the calling thread.
  XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  bool Exists() const { return document_ != nullptr; }
  IXMLDOMDocument* Get() const { return document_.Get(); }

  // Loads decoded text. Empty when it loaded; else why not: "XML error"
  // (no document, a refused DTD, not well-formed) or the shape the
  // pre-scan refuses (MarkupShape.h). The document then holds nothing that
  // could be taken for this text.
  std::u16string_view Load(std::u16string text);
  // Lets go of the last text's nodes, which can be large, until the next load.
  void Clear();

 private:
  ComPtr<IXMLDOMDocument> document_;
};

// The first node `query` selects from `from`, or null.
ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* from, const wchar_t* query);
// A node's text (for an element, its text content).
std::u16string NodeText(IXMLDOMNode* node);
// The value of an element's attribute; empty when it has none.
std::u16string AttributeText(IXMLDOMNode* element, const wchar_t* name);
// Whether the attribute is there at all, empty or not.
bool HasAttribute(IXMLDOMNode* element, const wchar_t* name);
// A node's first child, next sibling and parent; null when there is none.
ComPtr<IXMLDOMNode> FirstChildNode(IXMLDOMNode* node);
ComPtr<IXMLDOMNode> NextSiblingNode(IXMLDOMNode* node);
ComPtr<IXMLDOMNode> ParentNode(IXMLDOMNode* node);
// NODE_INVALID when it cannot be had.
DOMNodeType NodeType(IXMLDOMNode* node);
// A node's qualified name, as a query by name matches it ("dc:title").
std::u16string NodeName(IXMLDOMNode* node);
// A node's namespace URI and local name.
std::u16string NamespaceOf(IXMLDOMNode* node);
std::u16string LocalName(IXMLDOMNode* node);

}  // namespace quorvane
