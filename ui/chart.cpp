#include "ui/chart.h"

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "platform/platform.h"
#include "records/date_mask.h"

namespace {

constexpr platform::Color kWhite{255, 255, 255};
constexpr platform::Color kBlack{0, 0, 0};
constexpr platform::Color kWatermarkTan{221, 187, 153};
constexpr platform::Color kNoticeBlue{0, 0, 200};

constexpr int kBrandFont = 2;
constexpr int kAxisFont = 3;
constexpr int kLastCpmFont = 4;
constexpr int kPanelFont = 5;
constexpr int kNoticeFont = 6;

constexpr char kBrandText[] = "tessivar";
constexpr const char* kNoticeLines[] = {
    "tessivar station software",
    "(c) the tessivar authors",
    "Counts shared online",
};

// The plot: x 10 (oldest entry) to 350 (newest), y 220 (smallest count) to 10 (largest).
constexpr int kPlotLeft = 10;
constexpr int kPlotRight = 350;
constexpr int kPlotTop = 10;
constexpr int kPlotBottom = 220;
constexpr int kAverageSeconds = 600;

// A point far off the image is held to this distance: the part of a line
// that shows stays the same to the pixel, and no backend is handed
// coordinates it cannot rasterise.
constexpr int64_t kFarAway = 1 << 20;

int ClampCoordinate(int64_t v) {
  return static_cast<int>(v < -kFarAway ? -kFarAway : (v > kFarAway ? kFarAway : v));
}

// x of an entry's time. The times and the product are 64-bit so that an old
// slot 0 or a date after 2038 cannot overflow; the division truncates toward
// zero as a 32-bit one would. With no time span at all (every entry in the
// same second) the points stand on the count axis, where the newest belongs.
int PointX(int64_t time, int64_t t0, int64_t tN) {
  if (tN == t0) return kPlotRight;
  return ClampCoordinate(kPlotLeft + (time - t0) * (kPlotRight - kPlotLeft) / (tN - t0));
}

int PointY(int32_t count, int32_t min, int32_t max) {
  int64_t span = static_cast<int64_t>(max) - min;
  return ClampCoordinate(kPlotBottom -
                         (static_cast<int64_t>(count) - min) * (kPlotBottom - kPlotTop) / span);
}

void DrawFrame() {
  platform::DrawLine(10, 220, 354, 220);
  platform::DrawLine(350, 10, 350, 224);
  platform::DrawLine(10, 220, 10, 224);
  platform::DrawLine(350, 10, 354, 10);
}

void DrawPanel(const HistoryEntry& newest) {
  platform::SelectFont(kLastCpmFont);
  platform::DrawText(400, 20, "Last CPM: " + std::to_string(newest.count));
  platform::SelectFont(kBrandFont);
  platform::DrawTextInColor(20, 50, kBrandText, kWatermarkTan);
  platform::SelectFont(kNoticeFont);
  for (int i = 0; i < 3; ++i)
    platform::DrawTextInColor(400, 180 + 14 * i, kNoticeLines[i], kNoticeBlue);
  platform::SelectFont(kPanelFont);
  platform::DrawText(400, 70, "Last Update:");
  platform::DrawText(400, 90, newest.time < 1 ? "never" : FormatTimestamp(newest.time));
  platform::DrawText(400, 145, "Last 3 Hours of data");
}

}  // namespace

std::string FormatClock(int64_t t) {
  CalendarFields c = SplitDateValue(t);
  int hour = c.hour > 12 ? c.hour - 12 : (c.hour == 0 ? 12 : c.hour);
  return std::to_string(hour) + (c.minute < 10 ? ":0" : ":") + std::to_string(c.minute);
}

std::string FormatTimestamp(int64_t t) {
  CalendarFields c = SplitDateValue(t);
  return std::to_string(c.month) + "/" + std::to_string(c.day) + "/" + FormatDateValue(t, "%yyyy") +
         "  " + FormatClock(t) + (c.hour < 12 ? " AM" : " PM");
}

void DrawChart() {
  app.tenMinuteAverage = 0;  // 1
  const int64_t now = platform::LocalNow();
  const int32_t n = app.historyLast;
  const HistoryEntry* h = app.history.data();

  if (!platform::BeginDrawing(kChartImage)) return;  // 2
  platform::FillRectangle(0, 0, 600, 250, kWhite);   // 3
  platform::SetBackColor(kWhite);                    // 4
  platform::SetFrontColor(kBlack);
  DrawPanel(h[n]);  // 5 to 8
  DrawFrame();      // 9

  if (n > 0) {
    int32_t max = h[0].count, min = h[0].count;  // 10
    int64_t sum = 0;
    int32_t recent = 0;
    for (int32_t i = 1; i <= n; ++i) {
      int32_t c = h[i].count;
      if (c > max) {
        max = c;
      } else if (c < min) {
        min = c;
      }
      if (h[i].time > now - kAverageSeconds) {
        sum += c;
        ++recent;
      }
    }
    const int64_t t0 = h[0].time, tN = h[n].time;
    if (recent > 0) {
      // The mean of 32-bit counts is a 32-bit count; only the sum needs 64 bits.
      app.tenMinuteAverage = static_cast<int32_t>(sum / recent);
      platform::DrawText(400, 110, "10 Minute Avg: " + std::to_string(app.tenMinuteAverage));
    }

    platform::SelectFont(kAxisFont);  // 11
    int zerosWidth = 0, zerosHeight = 0, oneWidth = 0, oneHeight = 0;
    platform::MeasureText("00:00", &zerosWidth, &zerosHeight);
    platform::MeasureText("1", &oneWidth, &oneHeight);
    platform::DrawText(10, 225, FormatClock(t0));
    platform::DrawText(350 - zerosWidth / 2, 225, FormatClock(tN));
    platform::DrawText(355, 5, std::to_string(max));
    platform::DrawText(355, 225 - oneHeight, std::to_string(min));

    if (max > min) {  // 12
      platform::SetFrontColor(kNoticeBlue);
      int x = PointX(t0, t0, tN), y = PointY(h[0].count, min, max);
      platform::FillCircle(x, y, 1);
      for (int32_t k = 1; k <= n; ++k) {
        int nextX = PointX(h[k].time, t0, tN), nextY = PointY(h[k].count, min, max);
        platform::DrawLine(x, y, nextX, nextY);
        platform::FillCircle(nextX, nextY, 1);
        x = nextX;
        y = nextY;
      }
    }
  }

  platform::EndDrawing();  // 13
  platform::SetImageControlPicture(kChartControl, kChartImage);
}
