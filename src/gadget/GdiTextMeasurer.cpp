#include "gadget/GdiTextMeasurer.h"

#include <climits>

namespace quorvane {

TextExtent GdiTextMeasurer::Measure(std::u16string_view run) {
  ++calls_;
  SIZE size{};
  const int length = run.size() > INT_MAX ? INT_MAX : static_cast<int>(run.size());
  if (!GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(run.data()), length, &size)) {
    return {};
  }
  return {size.cx, size.cy};
}

}  // namespace quorvane
