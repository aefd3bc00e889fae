#include "feeds/FeedDecoding.h"

#include <windows.h>

#include "feeds/CodePageDetection.h"

namespace quorvane {
namespace {

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

bool Convert(UINT codePage, std::string_view bytes, std::u16string& text) {
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return false;
  text.resize(needed);
  return MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), needed) ==
         needed;
}

}  // namespace

std::u16string DecodeFeedBody(std::string_view body, std::string_view httpCharset) {
  const uint32_t codePage = DetectCodePage(body, httpCharset);
  body.remove_prefix(ByteOrderMarkLength(body));
  if (codePage == kCodePageUtf16LE || codePage == kCodePageUtf16BE)
    return DecodeUtf16(body, codePage == kCodePageUtf16BE);

  body = body.substr(0, body.find('\0'));
  std::u16string text;
  if (body.empty()) return text;
  if (!Convert(codePage, body, text) && codePage != kCodePageAnsi) Convert(CP_ACP, body, text);
  return text;
}

}  // namespace quorvane
