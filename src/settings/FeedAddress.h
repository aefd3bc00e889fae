#pragma once
// The check and completion of a feed address as the user gives it (typed on
// the settings page, on the command line, or read from an OPML file), the
// way a browser's address bar takes one: "example.org/rss" means
// "http://example.org/rss". Only what the gadget can download is taken.
#include <string>
#include <string_view>

namespace quorvane {

enum class FeedAddressFault { kNone, kEmpty, kWhiteSpace, kNoDot, kScheme, kNoHost };

struct FeedAddress {
  std::u16string url;      // the completed address; empty when refused
  std::u16string problem;  // why it is refused, naming it; empty when taken
  FeedAddressFault fault = FeedAddressFault::kNone;
};

// Trims white space at both ends, then:
//  - no scheme: "http://" goes in front ("host:port/path" has none);
//  - "http:" and "https:" are taken as they are, "feed:" becomes "http:"
//    ("feed:https://..." becomes "https://...");
//  - white space inside, another scheme, or no host name: refused; with
//    `requireDot`, so is an address without a "." (the settings page's and
//    the import's old rule, IsAcceptableFeedUrl).
// An empty address is refused too.
FeedAddress CheckFeedAddress(std::u16string_view typed, bool requireDot = false);

}  // namespace quorvane
