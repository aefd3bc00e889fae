#include "feeds/MarkupShape.h"

#include "feeds/XmlScan.h"

namespace quorvane {
namespace {

using namespace xml;
constexpr size_t npos = std::u16string_view::npos;

// Index past the comment that starts at `at` ("--" is allowed in a comment
// only as its end), or npos when it never ends. A run of "<!--" closed by one
// "-->" is refused at its second "<!--", where a parser would rescan the rest
// of the text from every one of them.
size_t AfterComment(std::u16string_view text, size_t at, bool& broken) {
  const size_t dashes = text.find(u"--", at + 4);
  if (dashes == npos) return npos;
  broken = !At(text, dashes + 2, u">");
  return dashes + 3;
}

struct TagCounts {
  size_t attributes = 0;
  size_t namespaces = 0;
};

// Reads the attributes of the start tag whose name starts at `at`; `at` ends
// past the tag, or where the tag stops making sense (the parser will refuse
// it). Quoted values may hold '>'.
TagCounts ReadStartTag(std::u16string_view text, size_t& at) {
  TagCounts counts;
  auto nameEnd = [&](size_t i) {
    while (i < text.size() && !IsXmlSpace(text[i]) && text[i] != u'=' && text[i] != u'>' && text[i] != u'/' &&
           text[i] != u'<')
      ++i;
    return i;
  };
  at = nameEnd(at);
  while (at < text.size()) {
    at = SkipSpace(text, at);
    if (at >= text.size() || text[at] == u'>' || text[at] == u'/' || text[at] == u'<') return counts;
    const size_t nameStart = at;
    at = SkipSpace(text, nameEnd(at));
    if (at >= text.size() || text[at] != u'=') return counts;
    at = SkipSpace(text, at + 1);
    if (at >= text.size() || (text[at] != u'"' && text[at] != u'\'')) return counts;
    const size_t close = text.find(text[at], at + 1);
    if (close == npos) {
      at = text.size();
      return counts;
    }
    const std::u16string_view name = text.substr(nameStart, at - nameStart);
    ++counts.attributes;
    if (name.starts_with(u"xmlns") && (name.size() == 5 || name[5] == u':' || IsXmlSpace(name[5]) || name[5] == u'='))
      ++counts.namespaces;
    at = close + 1;
  }
  return counts;
}

}  // namespace

MarkupShape CheckMarkupShape(std::u16string_view text) {
  size_t nodes = 0;  // elements and attributes
  for (size_t at = text.find(u'<'); at != npos; at = text.find(u'<', at)) {
    if (At(text, at, u"<!--")) {
      bool broken = false;
      at = AfterComment(text, at, broken);
      // Never closed at all is the plainer fault to report.
      if (broken) return text.find(u"-->", at - 3) == npos ? MarkupShape::kUnterminated : MarkupShape::kBrokenComment;
    } else if (At(text, at, u"<![CDATA[")) {
      at = After(text, at + 9, u"]]>");
    } else if (At(text, at, u"<?")) {
      at = After(text, at + 2, u"?>");
    } else if (At(text, at, u"<!") || At(text, at, u"</")) {
      at += 2;  // a declaration or an end tag: nothing to count
    } else {
      ++at;
      const TagCounts counts = ReadStartTag(text, at);
      if (counts.namespaces > kMaxNamespaceDeclarationsPerElement) return MarkupShape::kTooManyNamespaces;
      if (counts.attributes > kMaxAttributesPerElement) return MarkupShape::kTooManyAttributes;
      nodes += 1 + counts.attributes;
      if (nodes > kMaxElementsAndAttributes) return MarkupShape::kTooManyNodes;
      continue;
    }
    if (at == npos) return MarkupShape::kUnterminated;
  }
  return MarkupShape::kFine;
}

std::u16string_view MarkupShapeReason(MarkupShape shape) {
  switch (shape) {
    case MarkupShape::kUnterminated: return kXmlError;
    case MarkupShape::kBrokenComment: return u"XML error: \"--\" inside a comment";
    case MarkupShape::kTooManyAttributes: return u"too many attributes on one element";
    case MarkupShape::kTooManyNamespaces: return u"too many namespace declarations on one element";
    case MarkupShape::kTooManyNodes: return u"too many elements and attributes";
    default: return {};
  }
}

}  // namespace quorvane
