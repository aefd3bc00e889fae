#pragma once
// Turns the text of one feed into headline records, with an MSXML document
// created for the thread that uses it.
#include <atomic>
#include <string>
#include <vector>

#include "feeds/FeedItem.h"

struct IXMLDOMDocument;

namespace quorvane {

class RssParser {
 public:
  // Creates the document; COM must be initialised on the calling thread.
  // Without a document every feed yields no records.
  RssParser();
  ~RssParser();
  RssParser(const RssParser&) = delete;
  RssParser& operator=(const RssParser&) = delete;

  bool HasDocument() const { return document_ != nullptr; }

  // Appends a record for every item with a non-empty description, in
  // document order, until `stop` (when given) is set. A text that does not
  // load, or that is refused before loading, yields nothing and false.
  bool Parse(std::u16string text, std::vector<FeedItem>& cycle, const std::atomic<bool>* stop = nullptr);
  // Lets go of the last feed's document, which can be large, until the next.
  void Clear();

 private:
  IXMLDOMDocument* document_ = nullptr;
};

}  // namespace quorvane
