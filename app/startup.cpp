#include "app/startup.h"

#include <cmath>

#include "app/app_state.h"
#include "app/event_loop.h"
#include "net/identity.h"
#include "platform/platform.h"
#include "res/icon_data.h"
#include "ui/main_window.h"

namespace {

constexpr int kMinuteTimerId = 0;
constexpr int kMinuteMs = 60000;

struct FontRow {
  int number;
  const char* face;
  int k;  // 96 x the point size on a 96-DPI screen
  bool bold, italic, underline;
};

constexpr FontRow kFonts[] = {
    {2, "Georgia", 3840, true, true, false},  {3, "Lucida", 864, false, false, false},
    {4, "Lucida", 1728, false, false, false}, {5, "Lucida", 1344, false, false, false},
    {6, "Lucida", 864, false, false, true},
};

// Takes the events that piled up while the window was built and lets the
// system handle them; the program's own dispatch never sees them.
void DrainPendingEvents() {
  while (platform::ProcessPendingEvent()) platform::YieldProcessor();
}

}  // namespace

int QueryScreenDpi() {
  return platform::QueryScreenDpi();
}

int FontPointSize(int k, float dpi) {
  // std::nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int>(std::nearbyint(static_cast<float>(k) / dpi));
}

void CreateFonts() {
  for (const FontRow& row : kFonts) {
    platform::CreateDisplayFont(row.number, row.face, FontPointSize(row.k, app.screenDpi), row.bold,
                                row.italic, row.underline);
  }
}

void CreateImages() {
  platform::CreateImage(kChartImage, 600, 250);
  platform::CreateIconImage(kIconImage, kIconFiles, kIconFileSizes[0]);
}

void RunStartup() {
  app = AppState{};                // 1
  platform::InitializePlatform();  // 2
  app.mainWindowHidden = 0;        // 3
  app.alertLevel = 0;
  app.alertUseAverage = 0;
  app.windowMutex = std::make_unique<std::recursive_mutex>();
  app.selectedPort = 0;
  app.baudRate = 57600;
  app.decoderState = Undecided;
  app.stationId.clear();
  app.serialPort = nullptr;
  app.minuteCount = 0;
  app.tenMinuteAverage = 0;
  BuildVersionString();   // 4
  app.reportHoldoff = 1;  // 5
  app.statusText.clear();
  app.historyCapacity = 180;
  app.screenDpi = static_cast<float>(QueryScreenDpi());             // 6
  BeginUserAgent();                                                 // 7
  app.alertSoundFile = "(default sound)";                           // 8
  CompleteUserAgent();                                              // 9
  CreateFonts();                                                    // 10
  app.history.assign(app.historyCapacity + 1, HistoryEntry{0, 0});  // 11
  app.historyLast = 0;
  CreateImages();                                                // 12
  BuildStationId();                                              // 13
  BuildMainWindow();                                             // 14
  AddTrayIcon();                                                 // 15
  platform::StartTimer(kMainWindow, kMinuteTimerId, kMinuteMs);  // 16
  DrainPendingEvents();                                          // 17
  app.pendingMarker = 0;                                         // 18
}

void InitializeApplication() {
  RunStartup();
  RunEventLoop();         // 19
  ShutdownApplication();  // 20
}

void ShutdownApplication() {
  // 1. Worker threads are detached when started: nothing is held for them,
  //    and they are neither waited for nor stopped.
  platform::RemoveTrayIcon(kTrayIconId);                                      // 2
  if (app.serialPort != nullptr && platform::SerialIsOpen(app.serialPort)) {  // 3
    platform::SerialClose(app.serialPort);
    app.serialPort = nullptr;
  }
  for (int window : {kAboutWindow, kAlertWindow, kHelpWindow, kMainWindow}) {  // 4
    platform::CloseWindow(window);
  }
  platform::FreeFontsAndImages();  // 5
  // 6. Files are opened and closed within one operation: none is open here.
  platform::EndProcess(0);  // 7
}
