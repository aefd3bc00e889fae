#pragma once
// The feed list string: every URL followed by the separator " URL ". The
// settings store it; the fetcher reads its feeds from it.
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

}  // namespace quorvane
