#pragma once
// Removes the opening and closing tags of inline elements (a, abbr, b,
// bdi, bdo, big, cite, code, data, dfn, em, font, i, kbd, mark, q, s, samp,
// small, span, strike, strong, sub, sup, time, tt, u, var, wbr) without
// leaving a space, as a browser joins the text around them: "<b>S</b>ale"
// reads "Sale". Such a tag is "<", an optional "/", the name in any letter
// case, then ">" or one of space, tab, line feed, carriage return or "/"
// and everything up to the next ">". Other tags stay for the cleanup to
// turn into spaces.
#include <string>

namespace quorvane {

void RemoveInlineTags(std::u16string& text);

}  // namespace quorvane
