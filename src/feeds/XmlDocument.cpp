#include "feeds/XmlDocument.h"

#include "feeds/EntityCheck.h"
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

bool XmlDocument::Load(std::u16string text) {
  // Unclosed comments and sections cost the parser quadratic time: refused
  // in one linear pass before it sees them.
  if (!document_ || HasUnsafeEntities(text) || HasUnterminatedMarkup(text)) return false;
  RemoveDeclaredEncoding(text);
  UniqueBstr xml(text);
  text = std::u16string();  // one copy of the text at a time
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return document_->loadXML(xml.get(), &loaded) == S_OK && loaded == VARIANT_TRUE;
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

std::u16string NamespaceOf(IXMLDOMNode* node) {
  UniqueBstr text;
  return node->get_namespaceURI(text.out()) == S_OK ? text.str() : std::u16string();
}

std::u16string LocalName(IXMLDOMNode* node) {
  UniqueBstr text;
  return node->get_baseName(text.out()) == S_OK ? text.str() : std::u16string();
}

}  // namespace quorvane
