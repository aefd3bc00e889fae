#include "settings/OpmlDocument.h"

#include <cstdio>

namespace quorvane {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// An attribute value in double quotes. Characters XML cannot carry
// (controls, unpaired surrogates) are left out; line ends and tabs become
// references so they survive attribute normalisation.
std::string Attribute(std::u16string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'&': out += "&amp;"; continue;
      case u'<': out += "&lt;"; continue;
      case u'>': out += "&gt;"; continue;
      case u'"': out += "&quot;"; continue;
      case u'\t': out += "&#9;"; continue;
      case u'\n': out += "&#10;"; continue;
      case u'\r': out += "&#13;"; continue;
      default: break;
    }
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) continue;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c < 0xD800 || c > 0xDFFF) {
      AppendUtf8(out, c);
    }
  }
  return out + "\"";
}

}  // namespace

std::string OpmlDocument(const std::vector<OpmlFeed>& feeds) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<opml version=\"2.0\">\n"
      "  <head>\n"
      "    <title>QuorvaneRSS feeds</title>\n"
      "  </head>\n"
      "  <body>\n";
  for (const OpmlFeed& feed : feeds) {
    const std::string title = Attribute(feed.title.empty() ? feed.url : feed.title);
    out += "    <outline text=" + title + " title=" + title + " type=\"rss\" xmlUrl=" + Attribute(feed.url) + "/>\n";
  }
  return out + "  </body>\n</opml>\n";
}

}  // namespace quorvane
