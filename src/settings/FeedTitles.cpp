#include "settings/FeedTitles.h"

#include "text/Utf8.h"

namespace quorvane {

std::string FeedTitlesText(const FeedTitles& titles) {
  std::string text;
  for (const auto& [url, title] : titles) {
    if (url.empty() || title.empty() || url.find_first_of(u"\t\r\n") != std::u16string::npos) continue;
    std::u16string line = title;
    for (char16_t& c : line)
      if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    text += Utf16ToUtf8(url) + "\t" + Utf16ToUtf8(line) + "\n";
  }
  return text;
}

FeedTitles ParseFeedTitles(std::string_view text) {
  FeedTitles titles;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0 || tab + 1 == line.size()) continue;
    titles[Utf8ToUtf16(line.substr(0, tab))] = Utf8ToUtf16(line.substr(tab + 1));
  }
  return titles;
}

}  // namespace quorvane
