#include "feeds/XmlDocument.h"

#include "feeds/EntityCheck.h"
#include "feeds/MarkupShape.h"
#include "feeds/RecordText.h"
#include "feeds/XmlDeclaration.h"

namespace quorvane {
namespace {

// msxml2.h redirects CLSID_DOMDocument to a GUID no library defines.
constexpr CLSID kDomDocumentClass = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocumentInterface = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocument2Interface = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

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

// Nothing of a document reaches beyond its own text: no external entities
// or DTDs, no script, bounded depth and size.
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

std::u16string Text(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)) : std::u16string();
}

ComPtr<IXMLDOMNode> Attribute(IXMLDOMNode* element, const wchar_t* name) {
  ComPtr<IXMLDOMNamedNodeMap> attributes;
  ComPtr<IXMLDOMNode> attribute;
  UniqueBstr key(name);
  if (element->get_attributes(attributes.GetAddressOf()) != S_OK || !attributes ||
      attributes->getNamedItem(key.get(), attribute.GetAddressOf()) != S_OK)
    attribute.Reset();
  return attribute;
}

ComPtr<IXMLDOMNode> Step(IXMLDOMNode* node, HRESULT (STDMETHODCALLTYPE IXMLDOMNode::*move)(IXMLDOMNode**)) {
  ComPtr<IXMLDOMNode> next;
  if ((node->*move)(next.GetAddressOf()) != S_OK) next.Reset();
  return next;
}

bool IsText(DOMNodeType type) { return type == NODE_TEXT || type == NODE_CDATA_SECTION; }

// Appends the text of `node`'s descendants in document order until `out`
// holds kMaxRawRecordTextChars: a walk from node to node, linear in what it
// reads. (MSXML's own text of an element with many children can take the
// square of their number: 6 s for a description of 2 MB of "<b>x</b>".)
void AppendDescendantText(IXMLDOMNode* node, size_t depth, std::u16string& out) {
  for (ComPtr<IXMLDOMNode> child = FirstChildNode(node); child && out.size() < kMaxRawRecordTextChars;
       child = NextSiblingNode(child.Get())) {
    const DOMNodeType type = NodeType(child.Get());
    if (IsText(type)) {
      UniqueVariant value;
      if (child->get_nodeValue(value.out()) == S_OK && value.get().vt == VT_BSTR) out += Text(value.get().bstrVal);
    } else if (type == NODE_ELEMENT && depth < 256) {
      AppendDescendantText(child.Get(), depth + 1, out);
    }
  }
}

// Whether `node` has an element child, or more children than MSXML joins
// in reasonable time.
bool NeedsOwnWalk(IXMLDOMNode* node) {
  size_t children = 0;
  for (ComPtr<IXMLDOMNode> child = FirstChildNode(node); child; child = NextSiblingNode(child.Get()))
    if (NodeType(child.Get()) == NODE_ELEMENT || ++children > 1000) return true;
  return false;
}

}  // namespace

XmlDocument::XmlDocument() {
  if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocumentInterface,
                              reinterpret_cast<void**>(document_.GetAddressOf())))) {
    document_.Reset();
    return;
  }
  document_->put_validateOnParse(VARIANT_TRUE);
  document_->put_async(VARIANT_FALSE);
  Harden(document_.Get());
}

std::u16string_view XmlDocument::Load(std::u16string text) {
  if (!document_ || HasUnsafeEntities(text)) return kXmlError;
  // Shapes that cost the parser quadratic time are refused in one linear
  // pass before it sees them.
  if (const MarkupShape shape = CheckMarkupShape(text); shape != MarkupShape::kFine) return MarkupShapeReason(shape);
  RemoveDeclaredEncoding(text);
  UniqueBstr xml(text);
  text = std::u16string();  // one copy of the text at a time
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (document_->loadXML(xml.get(), &loaded) == S_OK && loaded == VARIANT_TRUE) return {};
  return kXmlError;
}

void XmlDocument::Clear() {
  if (!document_) return;
  UniqueBstr empty(L"<empty/>");
  VARIANT_BOOL loaded = VARIANT_FALSE;
  document_->loadXML(empty.get(), &loaded);
}

ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* from, const wchar_t* query) {
  ComPtr<IXMLDOMNode> node;
  UniqueBstr text(query);
  if (from->selectSingleNode(text.get(), node.GetAddressOf()) != S_OK) node.Reset();
  return node;
}

std::u16string NodeText(IXMLDOMNode* node) {
  // Text and entities as MSXML gives them (Wine's MSXML shows no entity's
  // text but through its parent); mark-up inside, or text in very many
  // pieces, by a walk of our own.
  if (NeedsOwnWalk(node)) {
    std::u16string text;
    AppendDescendantText(node, 0, text);
    return text;
  }
  UniqueVariant value;
  if (FAILED(node->get_nodeTypedValue(value.out()))) return {};
  if (value.get().vt == VT_BSTR) return Text(value.get().bstrVal);
  // The conversion only reads its source; the owner keeps it.
  VARIANT source = value.get();
  UniqueVariant converted;
  if (FAILED(VariantChangeType(converted.out(), &source, 0, VT_BSTR)) || converted.get().vt != VT_BSTR) return {};
  return Text(converted.get().bstrVal);
}

std::u16string AttributeText(IXMLDOMNode* element, const wchar_t* name) {
  ComPtr<IXMLDOMNode> attribute = Attribute(element, name);
  UniqueBstr text;
  if (!attribute || attribute->get_text(text.out()) != S_OK) return {};
  return text.str();
}

bool HasAttribute(IXMLDOMNode* element, const wchar_t* name) { return Attribute(element, name) != nullptr; }

ComPtr<IXMLDOMNode> FirstChildNode(IXMLDOMNode* node) { return Step(node, &IXMLDOMNode::get_firstChild); }
ComPtr<IXMLDOMNode> NextSiblingNode(IXMLDOMNode* node) { return Step(node, &IXMLDOMNode::get_nextSibling); }
ComPtr<IXMLDOMNode> ParentNode(IXMLDOMNode* node) { return Step(node, &IXMLDOMNode::get_parentNode); }

DOMNodeType NodeType(IXMLDOMNode* node) {
  DOMNodeType type = NODE_INVALID;
  return node->get_nodeType(&type) == S_OK ? type : NODE_INVALID;
}

std::u16string NodeName(IXMLDOMNode* node) {
  UniqueBstr text;
  return node->get_nodeName(text.out()) == S_OK ? text.str() : std::u16string();
}

std::u16string NamespaceOf(IXMLDOMNode* node) {
  UniqueBstr text;
  return node->get_namespaceURI(text.out()) == S_OK ? text.str() : std::u16string();
}

std::u16string LocalName(IXMLDOMNode* node) {
  UniqueBstr text;
  return node->get_baseName(text.out()) == S_OK ? text.str() : std::u16string();
}

}  // namespace quorvane
