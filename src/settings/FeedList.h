#pragma once
// The feed list string: every URL followed by the separator " URL ".
#include <string>
#include <string_view>
#include <vector>

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
  size_t added = 0;
  size_t skipped = 0;  // already listed, listed twice, or failing the check
};

// Appends the addresses of `incoming` (trimmed of white space) that pass
// the check and are not listed yet, in order.
FeedListMerge MergeFeedUrls(std::vector<std::u16string> listed, const std::vector<std::u16string>& incoming);

}  // namespace quorvane
