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

uint32_t DetectCodePage(std::string_view body) {
  if (StartsWith(body, "\xEF\xBB\xBF")) return kCodePageUtf8;
  if (StartsWith(body, "\xFF\xFE")) return kCodePageUtf16LE;
  if (StartsWith(body, "\xFE\xFF")) return kCodePageUtf16BE;
  if (!StartsWith(body, "<?xml")) return kCodePageUtf8;

  // The declaration is read as single-byte text up to the first zero byte;
  // the first "encoding=" anywhere counts, even past the declaration.
  std::string_view text = body.substr(0, body.find('\0'));
  constexpr std::string_view kKey = "encoding=";
  const size_t key = text.find(kKey);
  if (key == std::string_view::npos || key + kKey.size() >= text.size()) return kCodePageUtf8;
  const size_t start = key + kKey.size() + 1;
  const char delimiter = text[key + kKey.size()];
  const size_t end = text.find(delimiter, start);
  if (end == std::string_view::npos) return kCodePageUtf8;
  return CodePageForLabel(text.substr(start, end - start)).value_or(kCodePageAnsi);
}

}  // namespace quorvane
