#pragma once
// Atom 1.0 documents (RFC 4287) into headline records, by the same rules as
// RSS items: an entry's summary (else its content) is typed out, its title
// shown, its alternate link opened.
#include <windows.h>
#include <msxml2.h>

#include <string>
#include <string_view>
#include <vector>

#include "feeds/FeedItem.h"

namespace quorvane {

inline constexpr char16_t kAtomNamespace[] = u"http://www.w3.org/2005/Atom";

// Appends a record for every Atom entry of a loaded document whose root is
// an Atom `feed` (or a lone Atom `entry`), in document order. A relative
// link is resolved against `feedUrl` (kept as written when that is empty).
void ParseAtomEntries(IXMLDOMDocument* document, std::u16string_view feedUrl, const SharedText& timeStamp,
                      std::vector<FeedItem>& cycle);

}  // namespace quorvane
