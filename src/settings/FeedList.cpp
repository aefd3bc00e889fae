#include "settings/FeedList.h"

#include <unordered_set>

#include "settings/FeedAddress.h"

namespace quorvane {

bool IsAcceptableFeedUrl(std::u16string_view url) { return url.size() >= 3 && url.find(u'.') != std::u16string_view::npos; }

FeedListMerge MergeFeeds(std::vector<std::u16string> listed, const std::vector<OpmlFeed>& incoming) {
  FeedListMerge merge;
  merge.urls = std::move(listed);
  // A set, not a search of the list per address: a list of tens of
  // thousands must not take the square of that. Its views point into
  // `urls`, which therefore never reallocates from here on.
  merge.urls.reserve(merge.urls.size() + incoming.size());
  std::unordered_set<std::u16string_view> known(merge.urls.begin(), merge.urls.end());
  for (const OpmlFeed& feed : incoming) {
    FeedAddress address = CheckFeedAddress(feed.url, true);
    if (address.url.empty()) {
      merge.refused.push_back(std::move(address.problem));
    } else if (known.contains(address.url)) {
      ++merge.alreadyListed;
    } else {
      merge.urls.push_back(address.url);
      known.insert(merge.urls.back());
      merge.added.push_back(OpmlFeed{feed.title, std::move(address.url)});
    }
  }
  return merge;
}

}  // namespace quorvane
