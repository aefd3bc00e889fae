#include "feeds/FeedItemJson.h"

#include <cstdio>

#include "text/Utf8.h"

namespace quorvane {
namespace {

// The JSON spelling of a unit that cannot stand as it is: a short escape,
// or \uXXXX for other controls and unpaired surrogates.
bool JsonEscape(char16_t c, std::string& out) {
  static constexpr std::u16string_view kShort = u"\"\\\n\r\t\b\f";
  static constexpr std::string_view kLetters = "\"\\nrtbf";
  if (const size_t at = kShort.find(c); at != std::u16string_view::npos) {
    out += '\\';
    out += kLetters[at];
    return true;
  }
  if (c >= 0x20 && (c < 0xD800 || c > 0xDFFF)) return false;
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
  out += escape;
  return true;
}

}  // namespace

std::string JsonString(std::u16string_view text) { return QuotedUtf8(text, JsonEscape); }

std::string FeedItemJson(const FeedItem& item) {
  return "{\"link\":" + JsonString(item.link) + ",\"title\":" + JsonString(item.title) +
         ",\"description\":" + JsonString(item.description) + ",\"feedTitle\":" + JsonString(item.feedTitle) +
         ",\"timeStamp\":" + JsonString(item.timeStamp) + "}";
}

}  // namespace quorvane
