#include "settings/OpmlDocument.h"

#include "text/Utf8.h"

namespace quorvane {
namespace {

// An attribute value in double quotes. Characters XML cannot carry
// (controls, unpaired surrogates) are left out; line ends and tabs become
// references so they survive attribute normalisation.
bool AttributeEscape(char16_t c, std::string& out) {
  switch (c) {
    case u'&': out += "&amp;"; return true;
    case u'<': out += "&lt;"; return true;
    case u'>': out += "&gt;"; return true;
    case u'"': out += "&quot;"; return true;
    case u'\t': out += "&#9;"; return true;
    case u'\n': out += "&#10;"; return true;
    case u'\r': out += "&#13;"; return true;
    default: return c < 0x20 || c == 0xFFFE || c == 0xFFFF || (c >= 0xD800 && c <= 0xDFFF);
  }
}

std::string Attribute(std::u16string_view text) { return QuotedUtf8(text, AttributeEscape); }

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
