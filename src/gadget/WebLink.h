#pragma once
// Which headline links a click may hand to the shell. The link comes from a
// feed, so anything the shell would run or open locally (file: URLs, drive
// and network paths, script: URLs) is refused: only http:// and https://
// links whose text cannot break out of the browser's command line.
#include <string_view>

namespace quorvane {

inline bool IsWebLink(std::u16string_view link) {
  const auto startsWithScheme = [link](std::u16string_view scheme) {
    if (link.size() <= scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      char16_t c = link[i];
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
      if (c != scheme[i]) return false;
    }
    return true;
  };
  if (!startsWithScheme(u"http://") && !startsWithScheme(u"https://")) return false;
  // Spaces, control characters and quotes have no place in a URL; the shell
  // would pass them on to the browser's command line as they are.
  for (const char16_t c : link)
    if (c <= u' ' || c == u'"' || c == 0x7F) return false;
  return true;
}

}  // namespace quorvane
