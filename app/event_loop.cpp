#include "app/event_loop.h"

#include "app/app_state.h"
#include "device/serial_connection.h"
#include "net/service_links.h"
#include "platform/platform.h"
#include "records/history.h"
#include "records/minute_tick.h"
#include "ui/about_help.h"
#include "ui/alert_settings.h"
#include "ui/main_window.h"

namespace {

constexpr int kWaitMs = 200;

void RunMenuCommand(int id) {
  if (id >= 1 && id <= 256) {
    SelectCounterPort(id);
    return;
  }
  switch (id) {
    case kMenuQuit:
      app.quitRequested = 1;
      break;
    case kMenuShowFullChart:
      ShowFullChart();
      break;
    case kMenuRegister:
      RegisterSoftware();
      break;
    case kMenuSetLocation:
      SetMyLocation();
      break;
    case kMenuOpenDataDirectory:
      OpenDataDirectory();
      break;
    case kMenuHelp:
      OpenHelp();
      break;
    case kMenuOnlineHelp:
      OpenOnlineHelp();
      break;
    case kMenuAbout:
      OpenAbout();
      break;
    case kMenuAlertSettings:
      OpenAlertSettings();
      break;
    default:
      break;  // 0 (no port found), 263 (network ID) and unknown ids
  }
}

void RunControlCommand(int id) {
  switch (id) {
    case kAboutOkButton:
      platform::CloseWindow(kAboutWindow);
      break;
    case kAlertOkButton:
      platform::CloseWindow(kAlertWindow);
      break;
    case kAlertLevelSpin:
      app.alertLevel = platform::SpinValue(kAlertLevelSpin);
      break;
    case kAlertBrowseButton:
      platform::StartThread(BrowseAlertSound, nullptr);
      break;
    case kAlertAverageCheck:
      app.alertUseAverage = platform::CheckBoxTicked(kAlertAverageCheck) ? 1 : 0;
      break;
    case kAboutLink:
      OpenHomePage();
      break;
    default:
      break;  // the help browser, the chart image, the sound file field
  }
}

void ToggleMainWindow() {
  std::lock_guard<std::recursive_mutex> hold(*app.windowMutex);
  if (app.mainWindowHidden != 0) {
    ShowMainWindow();
  } else {
    HideMainWindow();
  }
}

}  // namespace

void DispatchEvent(int code, int item) {
  switch (code) {
    case platform::kEventNone:
    case platform::kEventPoll:
      PollCounterPort();
      break;
    case platform::kEventTimer:
      MinuteTick();
      break;
    case platform::kEventMenu:
      RunMenuCommand(item);
      break;
    case platform::kEventControl:
      RunControlCommand(item);
      break;
    case platform::kEventClose:
      if (item == kMainWindow) {
        app.quitRequested = 1;
      } else {
        platform::CloseWindow(item);
      }
      break;
    case platform::kEventMinimised:
      if (item == kMainWindow) {
        std::lock_guard<std::recursive_mutex> hold(*app.windowMutex);
        HideMainWindow();
      }
      break;
    case platform::kEventTray:
      ToggleMainWindow();
      break;
    case platform::kEventTrayLost:
      // The shell restarted and forgot every tray icon; without ours a
      // window hidden in the tray could never be shown again.
      AddTrayIcon();
      break;
    case platform::kEventSoundChosen:
      StoreChosenSound(platform::EventText());
      break;
    default:
      break;
  }
}

void RunEventLoop() {
  do {
    app.lastEvent = platform::WaitEvent(kWaitMs);
    DispatchEvent(app.lastEvent, platform::EventItem());
  } while (app.quitRequested == 0);
}
