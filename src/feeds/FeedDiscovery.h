#pragma once
// Feed discovery: a web page that has a feed names it in a
// <link rel="alternate" type="application/rss+xml" href="...">. Both scans
// are linear in the page, which the download has already capped.
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Whether a response is a web page rather than a feed: its text starts, after
// a byte order mark, white space, an XML declaration and comments, with an
// HTML doctype or <html>; or it is served as text/html and does not start
// like a feed.
bool IsHtmlPage(std::string_view contentType, std::string_view body);

// The href of the first <link> whose rel includes "alternate" and whose type
// is application/rss+xml or application/atom+xml, with "&amp;" decoded and
// bytes outside ASCII percent-encoded; nothing when the page has none.
// Comments, scripts and styles are skipped.
std::optional<std::u16string> FindFeedLink(std::string_view html);

}  // namespace quorvane
