// The chart drawn into image 0: panel texts, frame, ten-minute average, axis
// labels and curve, checked on the texts drawn and on the raster's pixels.
#include "ui/chart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "records/date_mask.h"
#include "tests/support/scenario.h"

namespace {

const int64_t kNow = MakeDateValue(2014, 2, 21, 12, 0, 0);

bool Same(platform::Color a, platform::Color b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
const platform::Color kWhite{255, 255, 255}, kBlack{0, 0, 0}, kTan{221, 187, 153}, kBlue{0, 0, 200};

bool PixelIs(int x, int y, platform::Color c) {
  return Same(sim::Pixel(kChartImage, x, y), c);
}

// Blue pixels outside the notice's three lines: the curve and its markers.
int CurvePixels() {
  int n = 0;
  for (int y = 0; y < 250; ++y) {
    for (int x = 0; x < 600; ++x) {
      bool inNotice = x >= 400 && y >= 180 && y < 222;
      n += !inNotice && PixelIs(x, y, kBlue) ? 1 : 0;
    }
  }
  return n;
}

struct Entry {
  int32_t count;
  int64_t time;
};

void SetHistory(const std::vector<Entry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    app.history[i] = HistoryEntry{entries[i].count, entries[i].time};
  }
  app.historyLast = entries.empty() ? 0 : static_cast<int32_t>(entries.size()) - 1;
}

// The text drawn at (x, y), or "" when none was.
std::string TextAt(int x, int y) {
  for (const sim::DrawnText& t : sim::DrawnTexts()) {
    if (t.x == x && t.y == y) return t.text;
  }
  return "";
}

// A radius-1 marker: the centre and its four neighbours in the curve's colour.
void ExpectMarker(int x, int y) {
  for (auto [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
    EXPECT_TRUE(PixelIs(x + dx, y + dy, kBlue)) << "marker at " << x << "," << y;
  }
}

class Chart : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario::StartProgram();
    sim::SetLocalNow(kNow);
  }
};

TEST_F(Chart, EmptyHistoryShowsThePanelAndFrameOnly) {
  app.tenMinuteAverage = 33;
  DrawChart();
  struct Expected {
    int x, y;
    const char* text;
    int font;
    platform::Color color;
  } expected[] = {
      {400, 20, "Last CPM: 0", 4, kBlack},
      {20, 50, "tessivar", 2, kTan},
      {400, 180, "tessivar station software", 6, kBlue},
      {400, 194, "(c) the tessivar authors", 6, kBlue},
      {400, 208, "Counts shared online", 6, kBlue},
      {400, 70, "Last Update:", 5, kBlack},
      {400, 90, "never", 5, kBlack},
      {400, 145, "Last 3 Hours of data", 5, kBlack},
  };
  std::vector<sim::DrawnText> texts = sim::DrawnTexts();
  ASSERT_EQ(texts.size(), std::size(expected));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].text, expected[i].text);
    EXPECT_EQ(texts[i].x, expected[i].x) << texts[i].text;
    EXPECT_EQ(texts[i].y, expected[i].y) << texts[i].text;
    EXPECT_EQ(texts[i].font, expected[i].font) << texts[i].text;
    EXPECT_TRUE(Same(texts[i].color, expected[i].color)) << texts[i].text;
    EXPECT_TRUE(Same(texts[i].back, kWhite)) << texts[i].text;
    EXPECT_LE(texts[i].x + texts[i].width, 600) << texts[i].text << " fits the image";
  }
  EXPECT_EQ(app.tenMinuteAverage, 0);
  EXPECT_EQ(CurvePixels(), 0);
  EXPECT_TRUE(PixelIs(401, 182, kBlue)) << "ink of the notice";
  EXPECT_TRUE(PixelIs(400, 193, kBlue)) << "the notice font is underlined";
  EXPECT_TRUE(PixelIs(21, 52, kTan)) << "ink of the brand text";
  EXPECT_EQ(sim::Control(kChartControl).picture, kChartImage);
}

TEST_F(Chart, FrameIsFourBlackLinesWithBothEndPoints) {
  DrawChart();
  for (int x = 10; x <= 354; ++x) EXPECT_TRUE(PixelIs(x, 220, kBlack)) << x;
  for (int y = 10; y <= 224; ++y) EXPECT_TRUE(PixelIs(350, y, kBlack)) << y;
  for (int y = 220; y <= 224; ++y) EXPECT_TRUE(PixelIs(10, y, kBlack)) << y;
  for (int x = 350; x <= 354; ++x) EXPECT_TRUE(PixelIs(x, 10, kBlack)) << x;
  for (auto [x, y] : {std::pair{9, 220},
                      {355, 220},
                      {350, 9},
                      {350, 225},
                      {10, 225},
                      {355, 10},
                      {11, 221},
                      {200, 150}}) {
    EXPECT_TRUE(PixelIs(x, y, kWhite)) << x << "," << y;
  }
}

TEST_F(Chart, OneEntryShowsItsCountAndTimeButNoStatistics) {
  SetHistory({{12, kNow}});
  DrawChart();
  EXPECT_EQ(TextAt(400, 20), "Last CPM: 12");
  EXPECT_EQ(TextAt(400, 90), "2/21/2014  12:00 PM");
  EXPECT_EQ(sim::DrawnTexts().size(), 8u) << "no average and no axis labels";
  EXPECT_EQ(app.tenMinuteAverage, 0);
}

TEST_F(Chart, TwoEntriesSpanThePlot) {
  SetHistory({{10, kNow - 60}, {20, kNow}});
  DrawChart();
  EXPECT_EQ(app.tenMinuteAverage, 20) << "slot 0 never counts";
  EXPECT_EQ(TextAt(400, 110), "10 Minute Avg: 20");
  EXPECT_EQ(TextAt(10, 225), "11:59");
  EXPECT_EQ(TextAt(333, 225), "12:00") << "350 minus half the width of 00:00 (35)";
  EXPECT_EQ(TextAt(355, 5), "20");
  EXPECT_EQ(TextAt(355, 211), "10") << "the cell of the bottom label ends at 225";
  ExpectMarker(10, 220);
  ExpectMarker(350, 10);
  EXPECT_TRUE(PixelIs(180, 115, kBlue)) << "the line between the points";
  EXPECT_TRUE(PixelIs(9, 221, kWhite));
  EXPECT_TRUE(PixelIs(11, 221, kWhite));
}

TEST_F(Chart, TenMinuteAverage) {
  struct Case {
    std::vector<Entry> entries;
    int32_t average;
  } cases[] = {
      {{{100, kNow - 900}, {7, kNow - 120}, {8, kNow - 60}}, 7},
      {{{100, kNow - 900}, {50, kNow - 600}, {8, kNow - 60}}, 8},
      {{{100, kNow - 900}, {50, kNow - 599}, {8, kNow - 60}}, 29},
      {{{-5, kNow - 900}, {-7, kNow - 120}, {-8, kNow - 60}}, -7},
      {{{1, kNow - 60}, {INT32_MAX, kNow - 50}, {INT32_MAX, kNow - 40}}, INT32_MAX},
      {{{1, kNow - 60}, {INT32_MIN, kNow - 50}, {INT32_MIN, kNow - 40}}, INT32_MIN},
  };
  for (const Case& c : cases) {
    SetHistory(c.entries);
    DrawChart();
    EXPECT_EQ(app.tenMinuteAverage, c.average) << c.entries[1].time - kNow;
    EXPECT_EQ(TextAt(400, 110), "10 Minute Avg: " + std::to_string(c.average));
  }
}

TEST_F(Chart, NoRecentEntryDrawsTheChartWithoutAverage) {
  SetHistory({{10, kNow - 3000}, {30, kNow - 2000}, {20, kNow - 1000}});
  app.tenMinuteAverage = 99;
  DrawChart();
  EXPECT_EQ(app.tenMinuteAverage, 0);
  EXPECT_EQ(TextAt(400, 110), "");
  EXPECT_EQ(TextAt(355, 5), "30");
  ExpectMarker(350, 115);
}

TEST_F(Chart, EqualCountsGiveLabelsButNoCurve) {
  SetHistory({{6, kNow - 300},
              {6, kNow - 240},
              {6, kNow - 180},
              {6, kNow - 120},
              {6, kNow - 60},
              {6, kNow}});
  DrawChart();
  EXPECT_EQ(TextAt(355, 5), "6");
  EXPECT_EQ(TextAt(355, 211), "6");
  EXPECT_EQ(CurvePixels(), 0);
}

TEST_F(Chart, TimesOnTheTwelveHourClock) {
  struct Case {
    int hour, minute;
    const char* label;
    const char* stamp;
  } cases[] = {
      {0, 5, "12:05", "2/21/2014  12:05 AM"},   {13, 7, "1:07", "2/21/2014  1:07 PM"},
      {12, 0, "12:00", "2/21/2014  12:00 PM"},  {9, 41, "9:41", "2/21/2014  9:41 AM"},
      {23, 59, "11:59", "2/21/2014  11:59 PM"}, {11, 30, "11:30", "2/21/2014  11:30 AM"},
  };
  for (const Case& c : cases) {
    int64_t t = MakeDateValue(2014, 2, 21, c.hour, c.minute, 7);
    sim::SetLocalNow(t);
    SetHistory({{1, t - 60}, {2, t}});
    DrawChart();
    EXPECT_EQ(TextAt(333, 225), c.label);
    EXPECT_EQ(TextAt(400, 90), c.stamp);
    EXPECT_EQ(FormatClock(t), c.label);
    EXPECT_EQ(FormatTimestamp(t), c.stamp);
  }
  EXPECT_EQ(FormatTimestamp(MakeDateValue(2014, 11, 3, 14, 5, 7)), "11/3/2014  2:05 PM");
  EXPECT_EQ(FormatTimestamp(MakeDateValue(812, 1, 1, 0, 0, 0)), "1/1/0812  12:00 AM");
}

TEST_F(Chart, PointsFollowTimesAndCounts) {
  // min 2 and max 9: a count of 4 sits at 220 - 2 x 210 / 7 = 160.
  SetHistory({{2, kNow - 340}, {9, kNow - 240}, {5, kNow - 100}, {4, kNow}});
  DrawChart();
  ExpectMarker(10, 220);
  ExpectMarker(110, 10);
  ExpectMarker(250, 220 - 3 * 210 / 7);
  ExpectMarker(350, 160);
}

TEST_F(Chart, DivisionsTruncateTowardZero) {
  // x of the middle entry: 10 + 1 x 340 / 3 = 123; y: 220 - 1 x 210 / 4 = 168.
  SetHistory({{0, kNow - 3}, {1, kNow - 2}, {4, kNow}});
  DrawChart();
  ExpectMarker(123, 168);
}

TEST_F(Chart, ZeroTimeSpanStacksThePointsOnTheCountAxis) {
  SetHistory({{1, kNow}, {5, kNow}, {3, kNow}});
  DrawChart();
  ExpectMarker(350, 220);
  ExpectMarker(350, 10);
  ExpectMarker(350, 115);
  for (int x = 0; x < 340; ++x) {
    for (int y = 0; y < 250; ++y) ASSERT_FALSE(PixelIs(x, y, kBlue)) << x << "," << y;
  }
}

TEST_F(Chart, EntriesFarApartOrOutOfOrderStayOnTheImageOrAreClipped) {
  // An old slot 0 left from before a pause; then a clock set back a day.
  SetHistory({{5, kNow - 200 * 86400}, {6, kNow - 120}, {7, kNow - 86400}, {8, kNow}});
  DrawChart();
  ExpectMarker(10, 220);
  ExpectMarker(350, 10);
  EXPECT_EQ(app.tenMinuteAverage, 7);
  SetHistory({{5, kNow}, {9, kNow + 1}, {6, kNow + 86400}, {7, kNow + 2}});
  DrawChart();
  ExpectMarker(350, 10 + 210 * 2 / 4);
}

TEST_F(Chart, FullHistoryOfThreeHours) {
  std::vector<Entry> entries;
  for (int i = 0; i <= 180; ++i) entries.push_back({20 + (i * 37) % 23, kNow - 60 * (180 - i)});
  SetHistory(entries);
  DrawChart();
  ExpectMarker(10, 220 - (20 - 20) * 210 / 22);
  ExpectMarker(350, 220 - (20 + (180 * 37) % 23 - 20) * 210 / 22);
  EXPECT_EQ(TextAt(10, 225), "9:00");
}

TEST_F(Chart, FailedDrawingKeepsThePictureAndNoAverage) {
  SetHistory({{10, kNow - 60}, {20, kNow}});
  DrawChart();
  int updates = sim::Control(kChartControl).pictureUpdates;
  sim::FailDrawing(true);
  DrawChart();
  EXPECT_EQ(app.tenMinuteAverage, 0);
  EXPECT_EQ(sim::Control(kChartControl).pictureUpdates, updates);
  EXPECT_TRUE(PixelIs(350, 10, kBlue)) << "the previous picture stays";
}

TEST_F(Chart, EveryRedrawStartsFromWhite) {
  SetHistory({{10, kNow - 60}, {20, kNow}});
  DrawChart();
  SetHistory({{10, kNow}});
  DrawChart();
  EXPECT_TRUE(PixelIs(350, 10 - 1, kWhite));
  EXPECT_TRUE(PixelIs(180, 115, kWhite));
}

// The PNG dump decoded again: stored deflate blocks and filter-free rows.
TEST_F(Chart, PngDumpHoldsTheImage) {
  SetHistory({{10, kNow - 60}, {20, kNow}});
  DrawChart();
  char path[] = "/tmp/tessivar-chart-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_TRUE(sim::WriteImagePng(kChartImage, path));
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> png((std::istreambuf_iterator<char>(in)), {});
  std::remove(path);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ((png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19]), 600);
  EXPECT_EQ((png[20] << 24 | png[21] << 16 | png[22] << 8 | png[23]), 250);
  std::vector<unsigned char> raw;
  for (size_t at = 8; at + 8 <= png.size();) {
    size_t length = png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    std::string type(png.begin() + at + 4, png.begin() + at + 8);
    if (type == "IDAT") {
      for (size_t b = at + 10; b < at + 8 + length - 4;) {
        size_t n = png[b + 1] | png[b + 2] << 8;
        raw.insert(raw.end(), png.begin() + b + 5, png.begin() + b + 5 + n);
        b += 5 + n;
      }
    }
    at += 12 + length;
  }
  ASSERT_EQ(raw.size(), 250u * (1 + 600 * 3));
  for (int y = 0; y < 250; y += 7) {
    for (int x = 0; x < 600; x += 3) {
      const unsigned char* p = &raw[y * (1 + 600 * 3) + 1 + x * 3];
      platform::Color c = sim::Pixel(kChartImage, x, y);
      ASSERT_TRUE(p[0] == c.red && p[1] == c.green && p[2] == c.blue) << x << "," << y;
    }
  }
}

}  // namespace
