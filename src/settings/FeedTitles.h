#pragma once
// Titles the user gave feeds (an OPML file's outline texts), kept by the
// sidebar beside the gadget's state: the gadget's own settings hold only
// addresses. A kept title stands in until the feed's own title is read.
#include <map>
#include <string>
#include <string_view>

namespace quorvane {

using FeedTitles = std::map<std::u16string, std::u16string>;  // address -> title

// UTF-8, one "address<TAB>title" line per feed. Tabs and line ends inside a
// title become spaces.
std::string FeedTitlesText(const FeedTitles& titles);

// Reads what FeedTitlesText wrote; a line without a tab, or with an empty
// address or title, is left out.
FeedTitles ParseFeedTitles(std::string_view text);

}  // namespace quorvane
