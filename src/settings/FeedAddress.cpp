#include "settings/FeedAddress.h"

#include <algorithm>

#include "settings/FeedList.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return out;
}

// The scheme's length (before its ":"), or 0 when the address has none.
// "localhost:8765/feed" is a host and a port, not a scheme.
std::size_t SchemeLength(std::u16string_view address) {
  if (address.empty() || !IsAsciiLetter(address[0])) return 0;
  std::size_t colon = 1;
  while (colon < address.size() && (IsAsciiLetter(address[colon]) || IsDigit(address[colon]) ||
                                    address[colon] == u'+' || address[colon] == u'-' || address[colon] == u'.'))
    ++colon;
  if (colon >= address.size() || address[colon] != u':') return 0;
  std::size_t end = colon + 1;
  while (end < address.size() && IsDigit(address[end])) ++end;
  const bool port = end > colon + 1 && (end == address.size() || address[end] == u'/' || address[end] == u'?' ||
                                         address[end] == u'#');
  return port ? 0 : colon;
}

std::u16string Quoted(std::u16string_view address) { return u"\"" + std::u16string(address) + u"\""; }

FeedAddress Refuse(FeedAddressFault fault, std::u16string_view address, std::u16string_view why) {
  return {{}, Quoted(address) + u" is not a feed address: " + std::u16string(why) + u".", fault};
}

}  // namespace

FeedAddress CheckFeedAddress(std::u16string_view typed, bool requireDot) {
  typed = TrimWhiteSpace(typed);
  if (typed.empty()) return {{}, u"The feed address is empty.", FeedAddressFault::kEmpty};
  if (std::any_of(typed.begin(), typed.end(), IsWhiteSpace))
    return Refuse(FeedAddressFault::kWhiteSpace, typed, u"it contains white space");
  if (requireDot && !IsAcceptableFeedUrl(typed)) return Refuse(FeedAddressFault::kNoDot, typed, u"it has no \".\" in it");

  std::u16string url(typed);
  std::size_t scheme = SchemeLength(url);
  if (scheme == 0) {
    url = u"http://" + url;
    scheme = 4;
  }
  std::u16string name = Lower(std::u16string_view(url).substr(0, scheme));
  if (name == u"feed") {
    // "feed://host/..." names an http feed; "feed:https://..." wraps one.
    const std::u16string_view rest = std::u16string_view(url).substr(scheme + 1);
    url = rest.substr(0, 2) == u"//" ? u"http:" + std::u16string(rest) : std::u16string(rest);
    scheme = SchemeLength(url);
    name = Lower(std::u16string_view(url).substr(0, scheme));
  }
  if (name != u"http" && name != u"https") {
    return Refuse(FeedAddressFault::kScheme, typed, name.empty() ? u"only http and https addresses can be read"
                                      : u"only http and https addresses can be read, not " + name);
  }
  url.replace(0, scheme, name);
  const std::u16string_view afterScheme = std::u16string_view(url).substr(scheme + 1);
  if (afterScheme.substr(0, 2) != u"//")
    return Refuse(FeedAddressFault::kNoHost, typed, u"it has no \"//\" after \"" + name + u":\"");
  const std::u16string_view authority = afterScheme.substr(2, afterScheme.find_first_of(u"/?#", 2) - 2);
  const std::u16string_view host = authority.substr(authority.rfind(u'@') == std::u16string_view::npos
                                                        ? 0
                                                        : authority.rfind(u'@') + 1);
  if (host.empty() || host[0] == u':') return Refuse(FeedAddressFault::kNoHost, typed, u"it names no host");
  return {url, {}};
}

}  // namespace quorvane
