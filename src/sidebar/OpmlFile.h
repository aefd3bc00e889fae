#pragma once
// Reads the feed addresses of an OPML file, with the defences the gadget
// uses for feeds: a file is bounded in size, and one whose DTD declares
// external or expanding entities, or that is not well-formed XML, gives
// nothing but the reason.
#include <string>
#include <vector>

#include "settings/OpmlDocument.h"

namespace quorvane::sidebar {

// Larger than any real subscription list; a bigger file is refused unread.
inline constexpr unsigned long long kMaxOpmlBytes = 4 * 1024 * 1024;

struct OpmlFeeds {
  // Every outline with an xmlUrl, at any depth, in document order: the
  // address as written, the title from its text (else title) attribute.
  std::vector<OpmlFeed> feeds;
  std::wstring error;  // why the file cannot be used; empty when it can
};

OpmlFeeds ReadOpmlFile(const std::wstring& path);

// The bytes of a file of at most kMaxOpmlBytes; empty, or why not.
std::wstring ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes `bytes` to `path`, replacing the file; empty, or why not.
std::wstring WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace quorvane::sidebar
