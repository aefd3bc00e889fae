#include "feeds/FeedCourtesy.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>

namespace quorvane {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

int64_t MonthDays(int64_t year, int month) {
  if (month == 12) return 31;
  return DaysFromCivil(year, static_cast<unsigned>(month) + 1, 1) - DaysFromCivil(year, static_cast<unsigned>(month), 1);
}

int MonthOf(std::string_view word) {
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
  if (word.size() != 3) return 0;
  std::string lower;
  for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (int i = 0; i < 12; ++i)
    if (lower == kMonths[i]) return i + 1;
  return 0;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t Number(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Any of the three HTTP date forms, by their parts: the month's name, the
// "HH:MM:SS", the day before the year. Milliseconds since 1970, or nothing.
std::optional<int64_t> ParseHttpDate(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find_first_of(" ,-\t", at);
    const std::string_view word = text.substr(at, end == std::string_view::npos ? end : end - at);
    if (!word.empty()) words.push_back(word);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  int month = 0;
  std::vector<int64_t> numbers;
  int64_t seconds = -1;
  for (std::string_view word : words) {
    if (int m = MonthOf(word)) {
      month = m;
    } else if (AllDigits(word)) {
      numbers.push_back(Number(word));
    } else if (word.size() == 8 && word[2] == ':' && word[5] == ':' && AllDigits(word.substr(0, 2)) &&
               AllDigits(word.substr(3, 2)) && AllDigits(word.substr(6, 2))) {
      const int64_t hour = Number(word.substr(0, 2)), minute = Number(word.substr(3, 2));
      const int64_t second = Number(word.substr(6, 2));  // 60: a leap second
      if (hour < 24 && minute < 60 && second <= 60) seconds = hour * 3600 + minute * 60 + second;
    }
  }
  if (month == 0 || numbers.size() != 2 || seconds < 0) return std::nullopt;
  const int64_t day = numbers[0];
  int64_t year = numbers[1];
  if (year < 100) year += year < 70 ? 2000 : 1900;  // RFC 850's two-digit years
  if (year < 1970 || year > 9999 || day < 1 || day > MonthDays(year, month)) return std::nullopt;
  return (DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + seconds) * 1000;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<FeedRequestHint> CycleHints(const std::vector<std::shared_ptr<const FeedOutcome>>& last, int64_t nowMs,
                                        int64_t cycleMs) {
  std::vector<FeedRequestHint> hints(last.size());
  for (size_t i = 0; i < last.size(); ++i) {
    const FeedOutcome& outcome = *last[i];
    // Only what the store still holds may be kept on a 304: the records of a
    // feed whose last try failed are gone with that cycle.
    if (outcome.state == FeedState::Ok) {
      hints[i].etag = outcome.etag;
      hints[i].lastModified = outcome.lastModified;
      hints[i].validatedUrl = outcome.finalUrl.empty() ? outcome.url : outcome.finalUrl;
    }
    if (outcome.httpStatus == 410) {
      hints[i].skip = kGoneReason;
      hints[i].skipStatus = 410;
    } else if (outcome.httpStatus == 429 || outcome.httpStatus == 503) {
      hints[i].skip = outcome.reason;  // asked for quiet last cycle: this one passes it by
    }
    hints[i].nextCycleAtMs = nowMs + cycleMs;
    hints[i].cycleMs = cycleMs;
  }
  return hints;
}

std::optional<int64_t> ParseRetryAfterMs(std::string_view value, int64_t nowMs) {
  value = Trimmed(value);
  if (AllDigits(value)) return Number(value) * 1000;
  if (value.size() > 9 && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return kMaxRestMs;  // more seconds than any rest lasts
  const std::optional<int64_t> at = ParseHttpDate(value);
  if (!at) return std::nullopt;
  return std::max<int64_t>(*at - nowMs, 0);
}

int64_t RestUntilMs(std::optional<int64_t> retryAfterMs, int64_t nowMs, int64_t nextCycleAtMs, int64_t cycleMs) {
  // The cycle after next is the first that may ask again.
  const int64_t earliest = std::min(std::max(nextCycleAtMs, nowMs) + cycleMs, nowMs + kMaxRestMs);
  return std::clamp(nowMs + retryAfterMs.value_or(0), earliest, nowMs + kMaxRestMs);
}

std::u16string RestReason(uint32_t httpStatus, int64_t untilMs) {
  const std::time_t time = static_cast<std::time_t>(untilMs / 1000);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &time);
#else
  localtime_r(&time, &parts);
#endif
  char clock[8];
  std::strftime(clock, sizeof clock, "%H:%M", &parts);
  std::u16string reason = httpStatus == 503 ? u"unavailable until " : u"rate limited until ";
  for (const char* c = clock; *c; ++c) reason += static_cast<char16_t>(*c);
  return reason;
}

int64_t WallClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace quorvane
