#include "feeds/FeedOutcomeJson.h"

#include <cstdio>
#include <ctime>

#include "feeds/FeedItemJson.h"

namespace quorvane {
namespace {

std::string UtcTime(int64_t seconds) {
  if (seconds <= 0) return "null";
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
#ifdef _WIN32
  if (gmtime_s(&parts, &time) != 0) return "null";
#else
  if (!gmtime_r(&time, &parts)) return "null";
#endif
  char text[32];
  std::strftime(text, sizeof text, "\"%Y-%m-%dT%H:%M:%SZ\"", &parts);
  return text;
}

std::string Latin1Json(const std::string& bytes) {
  std::u16string text;
  for (char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
  return JsonString(text);
}

}  // namespace

std::string FeedOutcomeJson(const FeedOutcome& outcome) {
  return "{\"url\":" + JsonString(outcome.url) + ",\"state\":" + JsonString(FeedStateName(outcome.state)) +
         ",\"headlines\":" + std::to_string(outcome.recordCount) + ",\"lastSuccess\":" + UtcTime(outcome.lastSuccess) +
         ",\"finalUrl\":" + JsonString(outcome.finalUrl) + ",\"feedTitle\":" + JsonString(outcome.feedTitle) +
         ",\"reason\":" + JsonString(outcome.reason) + ",\"http\":" + std::to_string(outcome.httpStatus) +
         ",\"etag\":" + Latin1Json(outcome.etag) + ",\"lastModified\":" + Latin1Json(outcome.lastModified) + "}";
}

}  // namespace quorvane
