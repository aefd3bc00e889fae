#pragma once
// Turns a feed's title or description into plain single-line text: CDATA
// markers and tables out, inline tags (links included) removed so that
// their text joins its neighbours, other tags turned into spaces, entities,
// character references and control characters decoded, runs of spaces,
// hyphens and commas collapsed, the ends trimmed.
#include <string>

namespace quorvane {

void CleanHeadlineText(std::u16string& text);

}  // namespace quorvane
