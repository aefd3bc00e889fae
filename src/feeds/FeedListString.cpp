#include "feeds/FeedListString.h"

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

}  // namespace quorvane
