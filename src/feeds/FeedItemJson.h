#pragma once
// One headline record as one line of JSON, for the command-line tool.
#include <string>

#include "feeds/FeedItem.h"

namespace quorvane {

// {"link":...,"title":...,"description":...,"feedTitle":...,"timeStamp":...}
// in UTF-8, without a line end. Unpaired surrogates are written as \u
// escapes, so the output is always valid UTF-8.
std::string FeedItemJson(const FeedItem& item);

// A JSON string literal, quotes included.
std::string JsonString(std::u16string_view text);

}  // namespace quorvane
