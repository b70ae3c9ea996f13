#pragma once
// The date written into reports. Reproducible pipelines pin it with the
// environment variable SOURCE_DATE_EPOCH (seconds since 1970): its UTC
// calendar date is used, whatever the time zone; otherwise the local clock.

#include <string>

struct CCalendarDate {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;
};

// Read once per report.
CCalendarDate ReportDate();
// The UTC calendar date of `seconds` since 1970.
CCalendarDate UtcDate(long long seconds);

// "%d/%m/%y " (day, month, two-digit year, a blank) and "%d-%b-%Y" with the
// English month abbreviation, in every locale.
std::string ShortReportDate(const CCalendarDate& date);
std::string LongReportDate(const CCalendarDate& date);
