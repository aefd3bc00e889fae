#include "feeds/FeedDiscovery.h"

#include <cstddef>

namespace quorvane {
namespace {

constexpr size_t npos = std::string_view::npos;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

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
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

std::string LowerTrimmed(std::string_view value) {
  while (!value.empty() && IsSpace(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsSpace(value.back())) value.remove_suffix(1);
  std::string out;
  for (char c : value) out += Lower(c);
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
  std::string_view value = decoded;
  while (!value.empty() && IsSpace(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsSpace(value.back())) value.remove_suffix(1);
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  for (unsigned char c : value) {
    if (c < 0x80) {
      out += static_cast<char16_t>(c);
    } else {
      out += u'%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
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
    while (at < text.size() && !IsSpace(text[at]) && text[at] != '=' && text[at] != '>' && text[at] != '/') ++at;
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
        while (at < text.size() && !IsSpace(text[at]) && text[at] != '>') ++at;
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
  return at >= text.size() || IsSpace(text[at]) || text[at] == '>' || text[at] == '/';
}

}  // namespace

bool IsHtmlPage(std::string_view contentType, std::string_view body) {
  size_t at = body.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (true) {
    at = SkipSpace(body, at);
    std::string_view end;
    if (AtWord(body, at, "<?")) {
      end = "?>";
    } else if (AtWord(body, at, "<!--")) {
      end = "-->";
    } else {
      break;
    }
    at = body.find(end, at);
    if (at == npos) return false;
    at += end.size();
  }
  if (AtWord(body, at, "<!doctype html") || (AtWord(body, at, "<html") && EndsName(body, at + 5))) return true;
  const std::string media = LowerTrimmed(contentType.substr(0, contentType.find(';')));
  if (media != "text/html") return false;
  // Some servers send feeds as text/html.
  for (std::string_view feedStart : {"<rss", "<feed", "<rdf:rdf", "<?xml"})
    if (AtWord(body, at, feedStart)) return false;
  return true;
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
