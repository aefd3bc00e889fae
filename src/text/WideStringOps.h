#pragma once
// Literal replacement, white space and trimming.
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

// White space as typed text can carry it: the control characters, the space
// and the Unicode spaces (no-break, ideographic, line and paragraph
// separators, the byte order mark, ...).
bool IsWhiteSpace(char16_t c);
// Mark-up's ASCII white space: space, tab, LF, FF and CR.
bool IsAsciiWhiteSpace(char c);

// Without leading and trailing white space of the kind above.
std::u16string_view TrimWhiteSpace(std::u16string_view text);
std::string_view TrimAsciiWhiteSpace(std::string_view text);

}  // namespace quorvane
