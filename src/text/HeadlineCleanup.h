#pragma once
// Turns a feed's title or description into plain single-line text: CDATA
// markers, tables, anchors and tags out, known entities and control
// characters decoded, runs of spaces, hyphens and commas collapsed, the
// ends trimmed.
#include <string>

namespace quorvane {

void CleanHeadlineText(std::u16string& text);

}  // namespace quorvane
