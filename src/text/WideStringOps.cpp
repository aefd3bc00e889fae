#include "text/WideStringOps.h"

#include "text/FindUnit.h"

namespace quorvane {

namespace {

size_t Find(std::u16string_view text, std::u16string_view search, size_t from) {
  const size_t n = text.size();
  const size_t m = search.size();
  while (from + m <= n) {
    const size_t at = FindUnit(text.data(), from, n - m + 1, search[0]);
    if (at > n - m) break;
    if (SameUnits(text.data() + at + 1, search.data() + 1, m - 1)) return at;
    from = at + 1;
  }
  return std::u16string_view::npos;
}

}  // namespace

bool ReplaceLiteral(std::u16string& text, std::u16string_view search, std::u16string_view insert) {
  if (search.empty()) return false;
  const std::u16string_view source = text;
  size_t at = Find(source, search, 0);
  if (at == std::u16string_view::npos) return false;
  std::u16string result;
  result.reserve(text.size());
  size_t done = 0;
  while (at != std::u16string_view::npos) {
    result.append(source, done, at - done);
    result.append(insert);
    done = at + search.size();
    at = Find(source, search, done);
  }
  result.append(source, done, std::u16string_view::npos);
  text = std::move(result);
  return true;
}

void StripLeading(std::u16string& text, std::u16string_view set) {
  const size_t first = text.find_first_not_of(set);
  text.erase(0, first == std::u16string::npos ? text.size() : first);
}

void StripTrailing(std::u16string& text, std::u16string_view set) {
  const size_t last = text.find_last_not_of(set);
  text.erase(last == std::u16string::npos ? 0 : last + 1);
}

bool IsWhiteSpace(char16_t c) {
  return c <= u' ' || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

bool IsAsciiWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

std::u16string_view TrimWhiteSpace(std::u16string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimAsciiWhiteSpace(std::string_view text) {
  while (!text.empty() && IsAsciiWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace quorvane
