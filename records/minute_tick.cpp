#include "records/minute_tick.h"

#include <string>

#include "app/app_state.h"
#include "device/serial_connection.h"
#include "net/push_report.h"
#include "platform/platform.h"
#include "records/date_mask.h"
#include "records/history.h"
#include "ui/chart.h"
#include "ui/main_window.h"

namespace {

bool AlertDue() {
  if (app.alertLevel <= 0) return false;
  int32_t measured = app.alertUseAverage != 0 ? app.tenMinuteAverage : app.minuteCount;
  return measured >= app.alertLevel;
}

}  // namespace

void AppendDataFileLine(int32_t count) {
  platform::File file = platform::FileOpenReadWrite(DataFilePath());
  if (file == nullptr) return;
  std::string line = FormatDateValue(platform::LocalNow(), "%yyyy-%mm-%dd\t%hh:%ii:%ss") + "\t" +
                     std::to_string(count) + "\r\n";
  platform::FileSeek(file, platform::FileLength(file));
  platform::FileWrite(file, line.data(), static_cast<int>(line.size()));
  platform::FileClose(file);
}

void MinuteTick() {
  app.statusText = "  CPM=" + std::to_string(app.minuteCount);
  SetStatusBarText(1, app.statusText);
  AppendHistory(app.minuteCount, 0);
  DrawChart();

  if (app.minuteCount <= 0) {
    ReopenCounterPort();
  } else {
    // alertSoundFile is only ever written on this thread (the chooser hands
    // its path over as an event), so the name played is always whole.
    if (AlertDue()) platform::PlaySoundAsync(app.alertSoundFile);
    if (app.reportHoldoff > 0) {
      --app.reportHoldoff;
    } else {
      StartPushReport(app.minuteCount);
      AppendDataFileLine(app.minuteCount);
    }
  }
  app.minuteCount = 0;
}
