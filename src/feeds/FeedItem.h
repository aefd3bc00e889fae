#pragma once
// One headline record. The field order is fixed: the display and the
// placeholder rely on it.
#include <string>

#include "feeds/SharedText.h"

namespace quorvane {

struct FeedItem {
  std::u16string link;         // the item's link, as the feed gave it
  std::u16string title;        // cleaned title
  std::u16string description;  // cleaned description: the text that is typed out
  SharedText feedTitle;        // cleaned title of the feed it came from, one copy per feed
  SharedText timeStamp;        // local time of parsing, "HH:MM"

  bool operator==(const FeedItem&) const = default;
};

inline constexpr char16_t kPlaceholderText[] = u"Connecting";
// A headline without a title, and one whose description cleans to nothing.
inline constexpr char16_t kNoTitleText[] = u"<No Title>";
inline constexpr char16_t kNotReadableText[] = u"Feed not readable";

// Stands for an empty store: all fields empty but the description.
inline FeedItem PlaceholderItem() {
  FeedItem item;
  item.description = kPlaceholderText;
  return item;
}

// Stands for an empty store once every feed of a cycle has failed: "Connecting"
// would promise progress that is not happening.
inline constexpr char16_t kNoFeedReadText[] = u"No feed could be read. \"Feed status\" in the menu says why.";

inline FeedItem NoFeedReadItem() {
  FeedItem item;
  item.description = kNoFeedReadText;
  return item;
}

// A status record is no headline: the next notification replaces it at once.
inline bool IsStatusItem(const FeedItem& item) {
  return item.description == kPlaceholderText || item.description == kNoFeedReadText;
}

}  // namespace quorvane
