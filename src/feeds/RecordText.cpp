#include "feeds/RecordText.h"

namespace quorvane {

void CutAtCharacterBoundary(std::u16string& text, size_t maxUnits) {
  if (text.size() <= maxUnits) return;
  size_t end = maxUnits;
  // A high surrogate left last would be half a character.
  if (end > 0 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
  text.resize(end);
  text.shrink_to_fit();  // the rest of a long text is not kept
}

}  // namespace quorvane
