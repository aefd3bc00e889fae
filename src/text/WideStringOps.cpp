#include "text/WideStringOps.h"

namespace quorvane {

void ReplaceLiteral(std::u16string& text, std::u16string_view search, std::u16string_view insert) {
  if (search.empty()) return;
  const std::u16string_view source = text;
  size_t at = source.find(search);
  if (at == std::u16string_view::npos) return;
  std::u16string result;
  result.reserve(text.size());
  size_t done = 0;
  while (at != std::u16string_view::npos) {
    result.append(source, done, at - done);
    result.append(insert);
    done = at + search.size();
    at = source.find(search, done);
  }
  result.append(source, done, std::u16string_view::npos);
  text = std::move(result);
}

void StripLeading(std::u16string& text, std::u16string_view set) {
  const size_t first = text.find_first_not_of(set);
  text.erase(0, first == std::u16string::npos ? text.size() : first);
}

void StripTrailing(std::u16string& text, std::u16string_view set) {
  const size_t last = text.find_last_not_of(set);
  text.erase(last == std::u16string::npos ? 0 : last + 1);
}

}  // namespace quorvane
