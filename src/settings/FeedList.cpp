#include "settings/FeedList.h"

#include <algorithm>

#include "settings/FeedAddress.h"

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

FeedListMerge MergeFeeds(std::vector<std::u16string> listed, const std::vector<OpmlFeed>& incoming) {
  FeedListMerge merge;
  merge.urls = std::move(listed);
  for (const OpmlFeed& feed : incoming) {
    FeedAddress address = CheckFeedAddress(feed.url, true);
    if (address.url.empty()) {
      merge.refused.push_back(std::move(address.problem));
    } else if (std::find(merge.urls.begin(), merge.urls.end(), address.url) != merge.urls.end()) {
      ++merge.alreadyListed;
    } else {
      merge.urls.push_back(address.url);
      merge.added.push_back(OpmlFeed{feed.title, std::move(address.url)});
    }
  }
  return merge;
}

}  // namespace quorvane
