#include "feeds/CodePageDetection.h"

namespace quorvane {
namespace {

bool StartsWith(std::string_view body, std::string_view prefix) { return body.substr(0, prefix.size()) == prefix; }

}  // namespace

uint16_t ByteOrderMarkLength(std::string_view body) {
  if (StartsWith(body, "\xEF\xBB\xBF")) return 3;
  if (StartsWith(body, "\xFE\xFF") || StartsWith(body, "\xFF\xFE")) return 2;
  return 0;
}

uint32_t DetectCodePage(std::string_view body) { return DetectCodePage(body, {}); }

uint32_t DetectCodePage(std::string_view body, std::string_view httpCharset) {
  if (StartsWith(body, "\xEF\xBB\xBF")) return kCodePageUtf8;
  if (StartsWith(body, "\xFF\xFE")) return kCodePageUtf16LE;
  if (StartsWith(body, "\xFE\xFF")) return kCodePageUtf16BE;
  const auto fromHeader = [httpCharset] {
    return httpCharset.empty() ? kCodePageUtf8 : CodePageForLabel(httpCharset).value_or(kCodePageUtf8);
  };
  if (!StartsWith(body, "<?xml")) return fromHeader();

  // The declaration is read as single-byte text up to the first zero byte;
  // the first "encoding=" anywhere counts, even past the declaration.
  std::string_view text = body.substr(0, body.find('\0'));
  constexpr std::string_view kKey = "encoding=";
  const size_t key = text.find(kKey);
  if (key == std::string_view::npos || key + kKey.size() >= text.size()) return fromHeader();
  const size_t start = key + kKey.size() + 1;
  const char delimiter = text[key + kKey.size()];
  const size_t end = text.find(delimiter, start);
  if (end == std::string_view::npos) return kCodePageUtf8;
  return CodePageForLabel(text.substr(start, end - start)).value_or(kCodePageAnsi);
}

std::string_view CharsetOfContentType(std::string_view contentType) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t semicolon = contentType.find(';'); semicolon != std::string_view::npos;
       semicolon = contentType.find(';', semicolon + 1)) {
    size_t at = semicolon + 1;
    while (at < contentType.size() && (contentType[at] == ' ' || contentType[at] == '\t')) ++at;
    constexpr std::string_view kName = "charset=";
    bool match = at + kName.size() <= contentType.size();
    for (size_t i = 0; match && i < kName.size(); ++i) match = lower(contentType[at + i]) == kName[i];
    if (!match) continue;
    std::string_view value = contentType.substr(at + kName.size());
    if (value.starts_with('"')) {
      value.remove_prefix(1);
      return value.substr(0, value.find('"'));
    }
    return value.substr(0, value.find_first_of("; \t"));
  }
  return {};
}

}  // namespace quorvane
