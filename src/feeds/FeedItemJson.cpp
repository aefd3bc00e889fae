#include "feeds/FeedItemJson.h"

#include <cstdio>

#include "text/Utf8.h"

namespace quorvane {
namespace {

void AppendEscape(std::string& out, unsigned unit) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", unit);
  out += escape;
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'"': out += "\\\""; continue;
      case u'\\': out += "\\\\"; continue;
      case u'\n': out += "\\n"; continue;
      case u'\r': out += "\\r"; continue;
      case u'\t': out += "\\t"; continue;
      case u'\b': out += "\\b"; continue;
      case u'\f': out += "\\f"; continue;
      default: break;
    }
    if (c < 0x20) {
      AppendEscape(out, c);
    } else if (const char32_t pair = SurrogatePairAt(text, i)) {
      AppendUtf8(out, pair);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      AppendEscape(out, c);
    } else {
      AppendUtf8(out, c);
    }
  }
  out += '"';
  return out;
}

std::string FeedItemJson(const FeedItem& item) {
  return "{\"link\":" + JsonString(item.link) + ",\"title\":" + JsonString(item.title) +
         ",\"description\":" + JsonString(item.description) + ",\"feedTitle\":" + JsonString(item.feedTitle) +
         ",\"timeStamp\":" + JsonString(item.timeStamp) + "}";
}

}  // namespace quorvane
