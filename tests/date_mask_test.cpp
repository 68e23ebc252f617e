// Date values as text: formatting through masks, the forgiving parse of the
// reload, and the calendar arithmetic under both.
#include "records/date_mask.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

constexpr char kLineMask[] = "%yyyy-%mm-%dd %hh:%ii:%ss";

TEST(DateMask, CalendarFieldsAgreeWithTheCLibraryAcrossCenturies) {
  // gmtime counts without any zone, which is exactly the date value's scale.
  for (int64_t t = -2208988800LL; t < 7258118400LL; t += 86400 * 37 + 3607) {
    time_t asTime = static_cast<time_t>(t);
    std::tm expected{};
    ASSERT_NE(gmtime_r(&asTime, &expected), nullptr);
    CalendarFields c = SplitDateValue(t);
    ASSERT_EQ(c.year, expected.tm_year + 1900) << t;
    ASSERT_EQ(c.month, expected.tm_mon + 1) << t;
    ASSERT_EQ(c.day, expected.tm_mday) << t;
    ASSERT_EQ(c.hour, expected.tm_hour) << t;
    ASSERT_EQ(c.minute, expected.tm_min) << t;
    ASSERT_EQ(c.second, expected.tm_sec) << t;
    ASSERT_EQ(MakeDateValue(c.year, c.month, c.day, c.hour, c.minute, c.second), t);
  }
}

TEST(DateMask, FormatsEachFieldWithLeadingZeros) {
  struct Case {
    int64_t t;
    const char* mask;
    const char* text;
  } cases[] = {
      {MakeDateValue(2014, 2, 21, 14, 5, 7), "%yyyy-%mm-%dd\t%hh:%ii:%ss", "2014-02-21\t14:05:07"},
      {MakeDateValue(2014, 2, 1, 0, 0, 9), "%YYYY/%Mm/%dD %HH.%iI.%Ss", "2014/02/01 00.00.09"},
      {MakeDateValue(812, 12, 31, 23, 59, 59), "%yyyy-%mm-%dd %hh:%ii:%ss", "0812-12-31 23:59:59"},
      // After the 32-bit date values end in January 2038.
      {MakeDateValue(2040, 3, 4, 5, 6, 7), "%yyyy-%mm-%dd %hh:%ii:%ss", "2040-03-04 05:06:07"},
      {0, "%yyyy-%mm-%dd %hh:%ii:%ss", "1970-01-01 00:00:00"},
      {-1, "%yyyy-%mm-%dd %hh:%ii:%ss", "1969-12-31 23:59:59"},
      // What is no token stands for itself.
      {0, "%y %m%% %x 100%", "%y %m%% %x 100%"},
      {0, "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateValue(c.t, c.mask), c.text) << c.mask;
}

TEST(DateMask, ParsesForgivingly) {
  struct Case {
    const char* text;
    const char* mask;
    bool valid;
    int64_t value;
  } cases[] = {
      {"2014-02-21 14:05:07", kLineMask, true, MakeDateValue(2014, 2, 21, 14, 5, 7)},
      // Tokens stop early at a non-digit; the literal then passes over it.
      {"2014-2-5 1:2:3", kLineMask, true, MakeDateValue(2014, 2, 5, 1, 2, 3)},
      // Literals are not compared with the text.
      {"2014/02/21T14.05.07", kLineMask, true, MakeDateValue(2014, 2, 21, 14, 5, 7)},
      {"2014-02-21 14:05:07", "%YYYY-%MM-%DD %HH:%II:%SS", true,
       MakeDateValue(2014, 2, 21, 14, 5, 7)},
      // The text's end is never passed: missing fields are 0.
      {"2014-02-21", kLineMask, true, MakeDateValue(2014, 2, 21, 0, 0, 0)},
      {"", kLineMask, false, 0},
      // A year reads at most four digits; the fifth falls to the literal.
      {"201401-02 03:04:05", kLineMask, true, MakeDateValue(2014, 1, 2, 3, 4, 5)},
      {"2040-03-04 05:06:07", kLineMask, true, MakeDateValue(2040, 3, 4, 5, 6, 7)},
      {"0000-01-01 00:00:00", kLineMask, false, 0},
      {"abcd-01-01 00:00:00", kLineMask, false, 0},
      {"2014-13-01 00:00:00", kLineMask, false, 0},
      {"2014-00-01 00:00:00", kLineMask, false, 0},
      {"2014-01-00 00:00:00", kLineMask, false, 0},
      {"2014-01-32 00:00:00", kLineMask, false, 0},
      {"2014-01-31 00:00:00", kLineMask, true, MakeDateValue(2014, 1, 31, 0, 0, 0)},
      {"2014-04-31 00:00:00", kLineMask, false, 0},
      {"2014-06-31 00:00:00", kLineMask, false, 0},
      {"2014-09-31 00:00:00", kLineMask, false, 0},
      {"2014-11-31 00:00:00", kLineMask, false, 0},
      {"2014-02-30 00:00:00", kLineMask, false, 0},
      {"2014-02-29 00:00:00", kLineMask, false, 0},
      {"2012-02-29 00:00:00", kLineMask, true, MakeDateValue(2012, 2, 29, 0, 0, 0)},
      {"1900-02-29 00:00:00", kLineMask, false, 0},
      {"2000-02-29 00:00:00", kLineMask, true, MakeDateValue(2000, 2, 29, 0, 0, 0)},
      {"2014-02-21 24:00:00", kLineMask, false, 0},
      {"2014-02-21 23:60:00", kLineMask, false, 0},
      {"2014-02-21 23:59:60", kLineMask, false, 0},
      {"2014-02-21 23:59:59", kLineMask, true, MakeDateValue(2014, 2, 21, 23, 59, 59)},
  };
  for (const Case& c : cases) {
    int64_t value = -12345;
    EXPECT_EQ(ParseDateValue(c.text, c.mask, &value), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.text;
    } else {
      EXPECT_EQ(value, -12345) << c.text << ": an invalid date leaves the value alone";
    }
  }
}

TEST(DateMask, EveryDayRoundTripsThroughTheLineMask) {
  for (int64_t t = MakeDateValue(1970, 1, 1, 0, 0, 0); t < MakeDateValue(2101, 1, 1, 0, 0, 0);
       t += 86400 + 61) {
    int64_t back = 0;
    ASSERT_TRUE(ParseDateValue(FormatDateValue(t, kLineMask), kLineMask, &back)) << t;
    ASSERT_EQ(back, t);
  }
}

}  // namespace
