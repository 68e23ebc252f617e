// Date values as text, through masks of %yyyy %mm %dd %hh %ii %ss.
#pragma once

#include <cstdint>
#include <string>

// Writes `t` through `mask`, each field with leading zeros to its width.
std::string FormatDateValue(int64_t t, const std::string& mask);
// Reads `text` through `mask`; false when the result is not a valid date.
bool ParseDateValue(const std::string& text, const std::string& mask, int64_t* valueOut);
// Calendar fields of a date value.
struct CalendarFields {
  int64_t year;
  int month, day, hour, minute, second;
};
CalendarFields SplitDateValue(int64_t t);
int64_t MakeDateValue(int64_t year, int month, int day, int hour, int minute, int second);
