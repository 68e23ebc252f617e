// Placeholder definitions, replaced by the real ones.
#include "records/date_mask.h"

std::string FormatDateValue(int64_t t, const std::string& mask) {
  (void)t;
  (void)mask;
  return {};
}

bool ParseDateValue(const std::string& text, const std::string& mask, int64_t* valueOut) {
  (void)text;
  (void)mask;
  (void)valueOut;
  return false;
}

CalendarFields SplitDateValue(int64_t t) {
  (void)t;
  return {};
}

int64_t MakeDateValue(int64_t year, int month, int day, int hour, int minute, int second) {
  (void)year;
  (void)month;
  (void)day;
  (void)hour;
  (void)minute;
  (void)second;
  return 0;
}
