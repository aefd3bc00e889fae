#include "settings/FeedList.h"

#include <unordered_set>

namespace quorvane {

std::vector<std::u16string> SplitFeedList(std::u16string_view value) {
  std::vector<std::u16string> urls;
  std::u16string_view remainder = value;
  while (true) {
    const size_t at = remainder.find(kFeedListSeparator);
    std::u16string_view url;
    if (at != std::u16string_view::npos && at > 0) {
      url = remainder.substr(0, at);
      remainder.remove_prefix(at + kFeedListSeparator.size());
    } else {
      url = remainder;
      remainder = {};
    }
    if (url.empty()) break;
    urls.emplace_back(url);
  }
  return urls;
}

std::u16string JoinFeedList(const std::vector<std::u16string>& urls) {
  std::u16string value;
  for (const auto& url : urls) {
    if (url.empty()) continue;
    value += url;
    value += kFeedListSeparator;
  }
  return value;
}

bool IsAcceptableFeedUrl(std::u16string_view url) { return url.size() >= 3 && url.find(u'.') != std::u16string_view::npos; }

FeedListMerge MergeFeedUrls(std::vector<std::u16string> listed, const std::vector<std::u16string>& incoming) {
  FeedListMerge merge;
  merge.urls = std::move(listed);
  // A set, not a search of the list per address: a list of tens of
  // thousands must not take the square of that. Its views point into
  // `urls`, which therefore never reallocates from here on.
  merge.urls.reserve(merge.urls.size() + incoming.size());
  std::unordered_set<std::u16string_view> known(merge.urls.begin(), merge.urls.end());
  auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  for (const std::u16string& raw : incoming) {
    size_t first = 0, last = raw.size();
    while (first < last && space(raw[first])) ++first;
    while (last > first && space(raw[last - 1])) --last;
    std::u16string url = raw.substr(first, last - first);
    // The separator inside an address would split it in two on reading.
    const bool usable = IsAcceptableFeedUrl(url) && url.find(kFeedListSeparator) == std::u16string::npos;
    if (!usable || known.contains(url)) {
      ++merge.skipped;
      continue;
    }
    merge.urls.push_back(std::move(url));
    known.insert(merge.urls.back());
    ++merge.added;
  }
  return merge;
}

}  // namespace quorvane
