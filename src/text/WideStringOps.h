#pragma once
// Literal replacement and trimming on wide strings.
#include <string>
#include <string_view>

namespace quorvane {

// Replaces every occurrence of `search` (exact code units), scanning left
// to right; occurrences do not overlap and inserted text is not searched
// again. Without an occurrence (or with an empty `search`) nothing changes.
// Returns whether anything was replaced.
bool ReplaceLiteral(std::u16string& text, std::u16string_view search, std::u16string_view insert);

// Remove the longest leading / trailing run of characters from `set`.
void StripLeading(std::u16string& text, std::u16string_view set);
void StripTrailing(std::u16string& text, std::u16string_view set);

}  // namespace quorvane
