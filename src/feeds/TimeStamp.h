#pragma once
// The time stamp of a headline record.
#include <cstdio>
#include <string>

namespace quorvane {

// "%.2d:%.2d" of an hour and a minute.
inline std::u16string FormatTimeStamp(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d:%.2d", hour, minute);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace quorvane
