#pragma once
// The feed list as an OPML 2.0 document, the format feed readers exchange
// subscription lists in.
#include <string>
#include <vector>

namespace quorvane {

struct OpmlFeed {
  std::u16string title;  // the feed's last known title, else its address
  std::u16string url;
};

// A UTF-8 OPML 2.0 document with one outline per feed, in order:
// text and title the feed's title, type "rss", xmlUrl its address.
std::string OpmlDocument(const std::vector<OpmlFeed>& feeds);

}  // namespace quorvane
