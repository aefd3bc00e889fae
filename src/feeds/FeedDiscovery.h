#pragma once
// Feed discovery: a web page that has a feed names it in a
// <link rel="alternate" type="application/rss+xml" href="...">. Both scans
// are linear in the page, which the download has already capped.
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Whether a response (its decoded text) is a web page rather than a feed. A
// text whose root element is a feed's (rss, rdf:RDF, feed) is a feed,
// whatever it is served as; else one with an HTML doctype or an <html> root,
// or one served as text/html, is a page.
bool IsHtmlPage(std::string_view contentType, std::u16string_view text);

// The href of the first <link> whose rel includes "alternate" and whose type
// is application/rss+xml or application/atom+xml, with "&amp;" decoded and
// bytes outside ASCII percent-encoded; nothing when the page has none.
// Comments, scripts and styles are skipped.
std::optional<std::u16string> FindFeedLink(std::string_view html);

}  // namespace quorvane
