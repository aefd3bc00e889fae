#include "feeds/RelativeUrl.h"

#include <algorithm>

namespace quorvane {
namespace {

constexpr size_t npos = std::u16string_view::npos;

struct UrlParts {
  std::u16string_view scheme, authority, path, query, fragment;
  bool hasScheme = false, hasAuthority = false, hasQuery = false, hasFragment = false;
};

bool IsAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsSchemeChar(char16_t c) {
  return IsAlpha(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

size_t SchemeEnd(std::u16string_view url) {
  if (url.empty() || !IsAlpha(url[0])) return npos;
  for (size_t i = 1; i < url.size(); ++i) {
    if (url[i] == u':') return i;
    if (!IsSchemeChar(url[i])) return npos;
  }
  return npos;
}

std::u16string_view UpTo(std::u16string_view text, size_t& at, std::u16string_view stops) {
  const size_t end = std::min(text.find_first_of(stops, at), text.size());
  std::u16string_view part = text.substr(at, end - at);
  at = end;
  return part;
}

UrlParts Split(std::u16string_view url) {
  UrlParts parts;
  size_t at = 0;
  if (const size_t colon = SchemeEnd(url); colon != npos) {
    parts.scheme = url.substr(0, colon);
    parts.hasScheme = true;
    at = colon + 1;
  }
  if (url.substr(at, 2) == u"//") {
    at += 2;
    parts.authority = UpTo(url, at, u"/?#");
    parts.hasAuthority = true;
  }
  parts.path = UpTo(url, at, u"?#");
  if (at < url.size() && url[at] == u'?') {
    ++at;
    parts.query = UpTo(url, at, u"#");
    parts.hasQuery = true;
  }
  if (at < url.size() && url[at] == u'#') {
    parts.fragment = url.substr(at + 1);
    parts.hasFragment = true;
  }
  return parts;
}

// RFC 3986, 5.2.4.
std::u16string RemoveDotSegments(std::u16string_view input) {
  std::u16string output;
  while (!input.empty()) {
    if (input.starts_with(u"../")) {
      input.remove_prefix(3);
    } else if (input.starts_with(u"./")) {
      input.remove_prefix(2);
    } else if (input.starts_with(u"/./")) {
      input.remove_prefix(2);
    } else if (input == u"/.") {
      input = u"/";
    } else if (input.starts_with(u"/../") || input == u"/..") {
      input = input.size() == 3 ? std::u16string_view(u"/") : input.substr(3);
      const size_t slash = output.rfind(u'/');
      output.resize(slash == std::u16string::npos ? 0 : slash);
    } else if (input == u"." || input == u"..") {
      input = {};
    } else {
      const size_t next = input.find(u'/', 1);
      const size_t length = next == npos ? input.size() : next;
      output.append(input.substr(0, length));
      input.remove_prefix(length);
    }
  }
  return output;
}

std::u16string MergePaths(const UrlParts& base, std::u16string_view path) {
  if (base.hasAuthority && base.path.empty()) return u"/" + std::u16string(path);
  const size_t slash = base.path.rfind(u'/');
  if (slash == npos) return std::u16string(path);
  return std::u16string(base.path.substr(0, slash + 1)) + std::u16string(path);
}

}  // namespace

std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference) {
  const UrlParts ref = Split(reference);
  if (base.empty() || ref.hasScheme) return std::u16string(reference);
  const UrlParts from = Split(base);
  std::u16string authority(from.authority), path, query(from.query);
  bool hasAuthority = from.hasAuthority, hasQuery = from.hasQuery;
  if (ref.hasAuthority) {
    authority = ref.authority;
    path = RemoveDotSegments(ref.path);
    query = ref.query;
    hasQuery = ref.hasQuery;
  } else if (ref.path.empty()) {
    path = from.path;
    if (ref.hasQuery) {
      query = ref.query;
      hasQuery = true;
    }
  } else {
    path = RemoveDotSegments(ref.path.starts_with(u'/') ? std::u16string(ref.path) : MergePaths(from, ref.path));
    query = ref.query;
    hasQuery = ref.hasQuery;
  }
  hasAuthority = hasAuthority || ref.hasAuthority;
  std::u16string url(from.scheme);
  if (from.hasScheme) url += u':';
  if (hasAuthority) url += u"//" + authority;
  url += path;
  if (hasQuery) url += u'?' + query;
  if (ref.hasFragment) url += u'#' + std::u16string(ref.fragment);
  return url;
}

}  // namespace quorvane
