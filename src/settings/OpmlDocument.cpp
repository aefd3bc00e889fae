#include "settings/OpmlDocument.h"

#include "text/Utf8.h"

namespace quorvane {
namespace {

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
    if (const char32_t pair = SurrogatePairAt(text, i)) {
      AppendUtf8(out, pair);
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
