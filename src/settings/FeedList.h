#pragma once
// The feed list string: every URL followed by the separator " URL ".
#include <string>
#include <string_view>
#include <vector>

#include "settings/OpmlDocument.h"

namespace quorvane {

inline constexpr std::u16string_view kFeedListSeparator = u" URL ";

// Splits a feed list value into URLs, in order. A trailing separator yields
// no empty entry; a value that begins with the separator is one URL, the
// whole value; URLs are kept as typed (no trimming).
std::vector<std::u16string> SplitFeedList(std::u16string_view value);

// Writes each non-empty entry, in order, followed by the separator.
std::u16string JoinFeedList(const std::vector<std::u16string>& urls);

// The check the settings page makes of an address typed in (already
// trimmed): at least three characters and a dot.
bool IsAcceptableFeedUrl(std::u16string_view url);

struct FeedListMerge {
  std::vector<std::u16string> urls;  // the list with the new addresses appended
  std::vector<OpmlFeed> added;       // each new feed, its address completed
  size_t alreadyListed = 0;          // listed before, or twice in the incoming
  std::vector<std::u16string> refused;  // why each refused address is not taken
  size_t Skipped() const { return alreadyListed + refused.size(); }
};

// Appends the feeds of `incoming` whose addresses pass CheckFeedAddress,
// completed, and are not listed yet, in order; their titles come along.
FeedListMerge MergeFeeds(std::vector<std::u16string> listed, const std::vector<OpmlFeed>& incoming);

}  // namespace quorvane
