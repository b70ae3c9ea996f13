#include "platform/Clock.h"

#include <cstdlib>
#include <ctime>
#include <string_view>

#include "platform/Text.h"

namespace {
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The whole of `text` as seconds, or false when it is not a plain number.
bool ParseEpoch(std::string_view text, long long& seconds) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  seconds = LeadingInteger(text);
  return true;
}
}  // namespace

CCalendarDate UtcDate(long long seconds) {
  // Days to a civil date in the proleptic Gregorian calendar.
  long long z = (seconds >= 0 ? seconds : seconds - 86399) / 86400 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  CCalendarDate d;
  d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
  return d;
}

CCalendarDate ReportDate() {
  long long seconds = 0;
  const char* pinned = std::getenv("SOURCE_DATE_EPOCH");
  if (pinned != nullptr && ParseEpoch(pinned, seconds)) return UtcDate(seconds);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string ShortReportDate(const CCalendarDate& date) {
  return Format("%02d/%02d/%02d ", date.day, date.month, ((date.year % 100) + 100) % 100);
}

std::string LongReportDate(const CCalendarDate& date) {
  const int m = date.month >= 1 && date.month <= 12 ? date.month - 1 : 0;
  return Format("%02d-%s-%04d", date.day, kMonths[m], date.year);
}
