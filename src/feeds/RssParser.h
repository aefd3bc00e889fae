#pragma once
// Turns the text of one feed into headline records, with an MSXML document
// created for the thread that uses it. RSS (0.9x, 1.0, 2.0) and Atom 1.0.
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/FeedItem.h"
#include "feeds/XmlDocument.h"

namespace quorvane {

// Cleans a title or description, cut to the bounds of RecordText.h.
void CleanBoundedText(std::u16string& text);
// A feed's title, cleaned and bounded, to be shared by all its records.
SharedText CleanFeedTitle(std::u16string title);

// Cleans a record's description and title as every feed format does: an
// empty description means no record (false); one that cleans to nothing
// says "Feed not readable"; an empty title says "<No Title>".
bool CleanRecordTexts(FeedItem& record);

class RssParser {
 public:
  // Creates the document; COM must be initialised on the calling thread.
  // Without a document every feed yields no records.
  RssParser() = default;
  RssParser(const RssParser&) = delete;
  RssParser& operator=(const RssParser&) = delete;

  bool HasDocument() const { return document_.Exists(); }

  // Appends a record for every RSS item with a non-empty description, in
  // document order; a document without RSS items gives one per Atom entry
  // instead, its relative links resolved against `feedUrl` (none: kept as
  // written). Stops early once `stop` (when given) is set. Empty when the
  // text loaded; a text that does not load, or that is refused before
  // loading, yields nothing and the reason (XmlDocument::Load).
  std::u16string_view Parse(std::u16string text, std::vector<FeedItem>& cycle, std::u16string_view feedUrl = {},
             const std::atomic<bool>* stop = nullptr);
  // Lets go of the last feed's document, which can be large, until the next.
  void Clear();

 private:
  XmlDocument document_;
};

}  // namespace quorvane
