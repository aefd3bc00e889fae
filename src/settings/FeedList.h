#pragma once
// The feed list's rules: which addresses it takes, and merging imported
// feeds into it. Its string format is feeds/FeedListString.h.
#include <string>
#include <string_view>
#include <vector>

#include "feeds/FeedListString.h"
#include "settings/OpmlDocument.h"

namespace quorvane {

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
