#include "feeds/FeedDebugOutput.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace quorvane {
namespace {

std::mutex sinkLock;
std::function<void(std::string_view)>& Sink() {
  static std::function<void(std::string_view)> sink;
  return sink;
}

void ToSink(std::string_view line) {
  std::lock_guard<std::mutex> guard(sinkLock);
  if (Sink()) Sink()(line);
}

}  // namespace

void DebugLineW(const wchar_t* text) {
  OutputDebugStringW(text);
  std::string narrow;
  for (const wchar_t* c = text; *c; ++c) narrow += *c < 0x80 ? static_cast<char>(*c) : '?';
  ToSink(narrow);
}

void DebugLineA(const char* text) {
  OutputDebugStringA(text);
  ToSink(text);
}

void SetDebugSink(std::function<void(std::string_view)> sink) {
  std::lock_guard<std::mutex> guard(sinkLock);
  Sink() = std::move(sink);
}

}  // namespace quorvane
