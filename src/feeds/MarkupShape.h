#pragma once
// Shapes of XML text that cost an XML parser time out of all proportion to
// their length (measured with MSXML: seconds to minutes for a megabyte),
// found in one linear pass before the parser sees them.
#include <cstddef>
#include <string_view>

namespace quorvane {

// No real feed or subscription list comes near these; the parser's checks
// of an element's attributes grow with the square of their number.
inline constexpr size_t kMaxAttributesPerElement = 256;
inline constexpr size_t kMaxNamespaceDeclarationsPerElement = 64;
// MSXML takes some microseconds per element and per attribute: a body of
// elements or attributes a few bytes each would take seconds. An 8 MB feed
// of the smallest possible items has about 400,000 elements.
inline constexpr size_t kMaxElementsAndAttributes = 600'000;

// Why a text did not load when it is simply not acceptable XML.
inline constexpr char16_t kXmlError[] = u"XML error";

enum class MarkupShape {
  kFine,
  kUnterminated,        // a comment, CDATA section or instruction that is never closed
  kBrokenComment,       // a comment that holds "--", such as a run of "<!--" closed once
  kTooManyAttributes,   // more than kMaxAttributesPerElement on one element
  kTooManyNamespaces,   // more than kMaxNamespaceDeclarationsPerElement on one element
  kTooManyNodes,        // more than kMaxElementsAndAttributes in all
};

MarkupShape CheckMarkupShape(std::u16string_view text);

// What the status says of a refused shape; empty for kFine.
std::u16string_view MarkupShapeReason(MarkupShape shape);

}  // namespace quorvane
