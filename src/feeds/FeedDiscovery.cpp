#include "feeds/FeedDiscovery.h"

#include <cstddef>

#include "feeds/FeedUrl.h"
#include "feeds/XmlScan.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

constexpr size_t npos = std::string_view::npos;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `text` has `lowerWord` at `at`, ignoring case.
bool AtWord(std::string_view text, size_t at, std::string_view lowerWord) {
  if (at + lowerWord.size() > text.size()) return false;
  for (size_t i = 0; i < lowerWord.size(); ++i)
    if (Lower(text[at + i]) != lowerWord[i]) return false;
  return true;
}

// The first position at or after `from` where `lowerWord` starts, ignoring
// case; npos if none. Linear: the words searched for have no repeated start.
size_t FindWord(std::string_view text, size_t from, std::string_view lowerWord) {
  for (size_t at = text.find('<', from); at != npos; at = text.find('<', at + 1))
    if (AtWord(text, at, lowerWord)) return at;
  return npos;
}

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() && IsAsciiWhiteSpace(text[at])) ++at;
  return at;
}

std::string LowerTrimmed(std::string_view value) {
  std::string out;
  for (char c : TrimAsciiWhiteSpace(value)) out += Lower(c);
  return out;
}

bool HasAlternateToken(std::string_view rel) {
  const std::string lower = LowerTrimmed(rel);
  for (size_t at = 0; at < lower.size();) {
    const size_t end = lower.find_first_of(" \t\r\n\f", at);
    const std::string_view token = std::string_view(lower).substr(at, end == npos ? npos : end - at);
    if (token == "alternate") return true;
    if (end == npos) break;
    at = SkipSpace(lower, end);
  }
  return false;
}

bool IsFeedType(std::string_view type) {
  std::string lower = LowerTrimmed(type.substr(0, type.find(';')));
  return lower == "application/rss+xml" || lower == "application/atom+xml";
}

std::u16string HrefText(std::string_view href) {
  std::string decoded;
  for (size_t i = 0; i < href.size(); ++i) {
    if (AtWord(href, i, "&amp;")) {
      decoded += '&';
      i += 4;
    } else {
      decoded += href[i];
    }
  }
  return EncodeNonAsciiBytes(TrimAsciiWhiteSpace(decoded));
}

struct LinkTag {
  std::string_view rel, type, href;
  bool hasHref = false;
};

// Reads the attributes of a tag from `at` (just past its name) to its '>';
// `at` ends past it, or at the end of the text.
LinkTag ReadAttributes(std::string_view text, size_t& at) {
  LinkTag tag;
  while (at < text.size()) {
    at = SkipSpace(text, at);
    if (at >= text.size()) break;
    if (text[at] == '>') {
      ++at;
      break;
    }
    if (text[at] == '/') {
      ++at;
      continue;
    }
    const size_t nameStart = at;
    while (at < text.size() && !IsAsciiWhiteSpace(text[at]) && text[at] != '=' && text[at] != '>' && text[at] != '/') ++at;
    const std::string name = LowerTrimmed(text.substr(nameStart, at - nameStart));
    std::string_view value;
    at = SkipSpace(text, at);
    if (at < text.size() && text[at] == '=') {
      at = SkipSpace(text, at + 1);
      if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const size_t close = text.find(text[at], at + 1);
        const size_t end = close == npos ? text.size() : close;
        value = text.substr(at + 1, end - at - 1);
        at = close == npos ? text.size() : close + 1;
      } else {
        const size_t start = at;
        while (at < text.size() && !IsAsciiWhiteSpace(text[at]) && text[at] != '>') ++at;
        value = text.substr(start, at - start);
      }
    }
    if (name == "rel") tag.rel = value;
    if (name == "type") tag.type = value;
    if (name == "href") {
      tag.href = value;
      tag.hasHref = true;
    }
  }
  return tag;
}

bool EndsName(std::string_view text, size_t at) {
  return at >= text.size() || IsAsciiWhiteSpace(text[at]) || text[at] == '>' || text[at] == '/';
}

// Whether `text` is `lowerWord`, ignoring the case of ASCII letters.
bool IsWordIgnoringCase(std::u16string_view text, std::u16string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if ((c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c) != lowerWord[i]) return false;
  }
  return true;
}

// Index past the document type declaration at `at` (its internal subset
// included), or npos when it never ends.
size_t AfterDoctype(std::u16string_view text, size_t at) {
  bool inSubset = false;
  for (at += 9; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c == u'"' || c == u'\'') {
      at = text.find(c, at + 1);
    } else if (inSubset && xml::At(text, at, u"<!--")) {
      at = text.find(u"-->", at + 4);
    } else if (c == u'[' || c == u']') {
      inSubset = c == u'[';
    } else if (c == u'>' && !inSubset) {
      return at + 1;
    }
    if (at == npos) return npos;
  }
  return npos;
}

struct XmlStart {
  bool htmlDoctype = false;
  std::u16string_view root;  // the first element's name, prefix included; empty when none is seen
};

// Reads past the byte order mark, declaration, comments, instructions and
// document type to the root element.
XmlStart ReadXmlStart(std::u16string_view text) {
  XmlStart start;
  size_t at = text.starts_with(u'\xFEFF') ? 1 : 0;
  while (at != npos) {
    at = xml::SkipSpace(text, at);
    if (xml::At(text, at, u"<?")) {
      at = xml::After(text, at + 2, u"?>");
    } else if (xml::At(text, at, u"<!--")) {
      at = xml::After(text, at + 4, u"-->");
    } else if (IsWordIgnoringCase(text.substr(at, 9), u"<!doctype")) {
      const size_t name = xml::SkipSpace(text, at + 9);
      start.htmlDoctype = IsWordIgnoringCase(text.substr(name, 4), u"html") &&
                          (name + 4 >= text.size() || xml::IsXmlSpace(text[name + 4]) || text[name + 4] == u'>');
      at = AfterDoctype(text, at);
    } else {
      break;
    }
  }
  if (at == npos || !xml::At(text, at, u"<")) return start;
  size_t end = ++at;
  while (end < text.size() && !xml::IsXmlSpace(text[end]) && text[end] != u'>' && text[end] != u'/') ++end;
  start.root = text.substr(at, end - at);
  return start;
}

}  // namespace

bool IsHtmlPage(std::string_view contentType, std::u16string_view text) {
  const XmlStart start = ReadXmlStart(text);
  const std::u16string_view local = start.root.substr(start.root.find(u':') + 1);  // without its prefix
  // Whatever it is served as, a feed is read as one.
  if (local == u"rss" || local == u"RDF" || local == u"feed") return false;
  if (start.htmlDoctype || IsWordIgnoringCase(start.root, u"html")) return true;
  return LowerTrimmed(contentType.substr(0, contentType.find(';'))) == "text/html";
}

std::optional<std::u16string> FindFeedLink(std::string_view html) {
  for (size_t at = html.find('<'); at != npos && at < html.size(); at = html.find('<', at)) {
    if (AtWord(html, at, "<!--")) {
      const size_t end = html.find("-->", at + 4);
      if (end == npos) break;
      at = end + 3;
    } else if ((AtWord(html, at, "<script") && EndsName(html, at + 7)) ||
               (AtWord(html, at, "<style") && EndsName(html, at + 6))) {
      const std::string_view close = Lower(html[at + 2]) == 'c' ? "</script" : "</style";
      at = FindWord(html, at + 1, close);
    } else if (AtWord(html, at, "<link") && EndsName(html, at + 5)) {
      at += 5;
      const LinkTag tag = ReadAttributes(html, at);
      if (tag.hasHref && HasAlternateToken(tag.rel) && IsFeedType(tag.type)) {
        std::u16string href = HrefText(tag.href);
        if (!href.empty()) return href;
      }
    } else {
      ++at;
    }
  }
  return std::nullopt;
}

}  // namespace quorvane
