#include "feeds/FeedUrl.h"

#include <cstdint>

#include "text/Utf8.h"

namespace quorvane {
namespace {

void AppendEscaped(std::u16string& out, uint8_t byte) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u'%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

struct UrlParts {
  std::u16string_view scheme, authority, path, query, fragment;
  bool hasAuthority = false, hasQuery = false, hasFragment = false;
};

bool IsSchemeChar(char16_t c, bool first) {
  const bool alpha = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  return alpha || (!first && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'));
}

UrlParts Split(std::u16string_view url) {
  UrlParts parts;
  if (const size_t hash = url.find(u'#'); hash != std::u16string_view::npos) {
    parts.hasFragment = true;
    parts.fragment = url.substr(hash + 1);
    url = url.substr(0, hash);
  }
  if (const size_t question = url.find(u'?'); question != std::u16string_view::npos) {
    parts.hasQuery = true;
    parts.query = url.substr(question + 1);
    url = url.substr(0, question);
  }
  size_t colon = 0;
  while (colon < url.size() && IsSchemeChar(url[colon], colon == 0)) ++colon;
  if (colon > 0 && colon < url.size() && url[colon] == u':') {
    parts.scheme = url.substr(0, colon);
    url = url.substr(colon + 1);
  }
  if (url.starts_with(u"//")) {
    const size_t end = url.find(u'/', 2);
    parts.hasAuthority = true;
    parts.authority = url.substr(2, end == std::u16string_view::npos ? url.size() - 2 : end - 2);
    url = end == std::u16string_view::npos ? std::u16string_view() : url.substr(end);
  }
  parts.path = url;
  return parts;
}

// RFC 3986, section 5.2.4.
std::u16string RemoveDotSegments(std::u16string_view in) {
  std::u16string out;
  while (!in.empty()) {
    if (in.starts_with(u"../")) {
      in.remove_prefix(3);
    } else if (in.starts_with(u"./")) {
      in.remove_prefix(2);
    } else if (in.starts_with(u"/./")) {
      in.remove_prefix(2);
    } else if (in == u"/.") {
      in = u"/";
    } else if (in.starts_with(u"/../") || in == u"/..") {
      in = in.size() == 3 ? std::u16string_view(u"/") : in.substr(3);
      const size_t slash = out.rfind(u'/');
      out.resize(slash == std::u16string::npos ? 0 : slash);
    } else if (in == u"." || in == u"..") {
      in = {};
    } else {
      const size_t next = in.find(u'/', 1);
      const size_t length = next == std::u16string_view::npos ? in.size() : next;
      out.append(in.substr(0, length));
      in.remove_prefix(length);
    }
  }
  return out;
}

std::u16string Merge(const UrlParts& base, std::u16string_view path) {
  if (base.hasAuthority && base.path.empty()) return u"/" + std::u16string(path);
  const size_t slash = base.path.rfind(u'/');
  if (slash == std::u16string_view::npos) return std::u16string(path);
  return std::u16string(base.path.substr(0, slash + 1)) + std::u16string(path);
}

}  // namespace

std::u16string EncodeNonAsciiUrl(std::u16string_view url) { return EncodeNonAsciiBytes(Utf16ToUtf8(url)); }

std::u16string EncodeNonAsciiBytes(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto b = static_cast<uint8_t>(byte);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
    } else {
      AppendEscaped(out, b);
    }
  }
  return out;
}

bool IsWebUrl(std::u16string_view url) {
  std::u16string scheme(Split(url).scheme);
  for (char16_t& c : scheme)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return scheme == u"http" || scheme == u"https";
}

std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference) {
  if (base.empty()) return std::u16string(reference);  // nothing to resolve against: kept as written
  const UrlParts b = Split(base);
  const UrlParts r = Split(reference);
  UrlParts t;
  std::u16string path;
  if (!r.scheme.empty()) {
    t = r;
    path = RemoveDotSegments(r.path);
  } else {
    t.scheme = b.scheme;
    if (r.hasAuthority) {
      t.hasAuthority = true;
      t.authority = r.authority;
      path = RemoveDotSegments(r.path);
      t.hasQuery = r.hasQuery;
      t.query = r.query;
    } else {
      t.hasAuthority = b.hasAuthority;
      t.authority = b.authority;
      if (r.path.empty()) {
        path = b.path;
        t.hasQuery = r.hasQuery || b.hasQuery;
        t.query = r.hasQuery ? r.query : b.query;
      } else {
        path = RemoveDotSegments(r.path.starts_with(u'/') ? std::u16string(r.path) : Merge(b, r.path));
        t.hasQuery = r.hasQuery;
        t.query = r.query;
      }
    }
    t.hasFragment = r.hasFragment;
    t.fragment = r.fragment;
  }
  std::u16string out;
  if (!t.scheme.empty()) out.append(t.scheme).append(u":");
  if (t.hasAuthority) out.append(u"//").append(t.authority);
  out += path;
  if (t.hasQuery) out.append(u"?").append(t.query);
  if (t.hasFragment) out.append(u"#").append(t.fragment);
  return out;
}

}  // namespace quorvane
