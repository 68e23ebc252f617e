#include "records/date_mask.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

enum Field { kYear, kMonth, kDay, kHour, kMinute, kSecond, kNoField };

struct Token {
  const char* name;  // after the '%', compared without regard to case
  Field field;
  int width;
};

constexpr Token kTokens[] = {
    {"yyyy", kYear, 4}, {"mm", kMonth, 2},  {"dd", kDay, 2},
    {"hh", kHour, 2},   {"ii", kMinute, 2}, {"ss", kSecond, 2},
};

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The token that starts at mask[at] (a '%'), or nullptr when the '%' is a
// plain character.
const Token* TokenAt(const std::string& mask, size_t at) {
  if (mask[at] != '%') return nullptr;
  for (const Token& token : kTokens) {
    size_t i = 0;
    while (token.name[i] != '\0' && at + 1 + i < mask.size() &&
           LowerAscii(mask[at + 1 + i]) == token.name[i]) {
      ++i;
    }
    if (token.name[i] == '\0') return &token;
  }
  return nullptr;
}

// The token's length in the mask, its '%' included.
size_t TokenLength(const Token& token) {
  return 1 + std::strlen(token.name);
}

int64_t FloorDivide(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 of a date on the proleptic Gregorian calendar, and
// back; eras of 400 years keep both exact for any year.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  int64_t era = FloorDivide(year, 400);
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t* yearOut, int* monthOut, int* dayOut) {
  days += 719468;
  int64_t era = FloorDivide(days, 146097);
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  *dayOut = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  *monthOut = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  *yearOut = yearOfEra + era * 400 + (*monthOut <= 2 ? 1 : 0);
}

bool IsLeapYear(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidDate(const int64_t fields[]) {
  int64_t year = fields[kYear], month = fields[kMonth], day = fields[kDay];
  if (year <= 0 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return false;
  if (month == 2 && (day >= 30 || (day == 29 && !IsLeapYear(year)))) return false;
  return fields[kHour] <= 23 && fields[kMinute] <= 59 && fields[kSecond] <= 59;
}

}  // namespace

CalendarFields SplitDateValue(int64_t t) {
  CalendarFields fields{};
  int64_t days = FloorDivide(t, kSecondsPerDay);
  int64_t secondOfDay = t - days * kSecondsPerDay;
  CivilFromDays(days, &fields.year, &fields.month, &fields.day);
  fields.hour = static_cast<int>(secondOfDay / 3600);
  fields.minute = static_cast<int>(secondOfDay / 60 % 60);
  fields.second = static_cast<int>(secondOfDay % 60);
  return fields;
}

int64_t MakeDateValue(int64_t year, int month, int day, int hour, int minute, int second) {
  return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

std::string FormatDateValue(int64_t t, const std::string& mask) {
  CalendarFields c = SplitDateValue(t);
  const int64_t values[] = {c.year, c.month, c.day, c.hour, c.minute, c.second};
  std::string text;
  for (size_t at = 0; at < mask.size();) {
    const Token* token = TokenAt(mask, at);
    if (token == nullptr) {
      text += mask[at++];
      continue;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*lld", token->width,
                  static_cast<long long>(values[token->field]));
    text += digits;
    at += TokenLength(*token);
  }
  return text;
}

bool ParseDateValue(const std::string& text, const std::string& mask, int64_t* valueOut) {
  int64_t fields[kNoField] = {0, 0, 0, 0, 0, 0};
  size_t pos = 0;
  for (size_t at = 0; at < mask.size();) {
    const Token* token = TokenAt(mask, at);
    if (token == nullptr) {
      // A literal passes over one character of the text, whatever it is.
      if (pos < text.size()) ++pos;
      ++at;
      continue;
    }
    int64_t value = 0;
    for (int read = 0; read < token->width && pos < text.size() && IsDigit(text[pos]); ++read) {
      value = value * 10 + (text[pos++] - '0');
    }
    fields[token->field] = value;
    at += TokenLength(*token);
  }
  if (!IsValidDate(fields)) return false;
  *valueOut = MakeDateValue(fields[kYear], static_cast<int>(fields[kMonth]),
                            static_cast<int>(fields[kDay]), static_cast<int>(fields[kHour]),
                            static_cast<int>(fields[kMinute]), static_cast<int>(fields[kSecond]));
  return true;
}
