#include "ui/alert_settings.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "ui/centred_window.h"

namespace {

constexpr int kNoId = -1;  // static texts are never addressed again
constexpr int kClientWidth = 350;
constexpr int kClientHeight = 200;
constexpr int kLevelLow = 0;
constexpr int kLevelHigh = 1000;

}  // namespace

void OpenAlertSettings() {
  if (!OpenCentredWindow(kAlertWindow, "Audible Alert Config", platform::kStyleCaption,
                         kClientWidth, kClientHeight)) {
    return;
  }
  platform::CreateControl(kAlertWindow, kNoId, platform::kControlStatic, 20, 20, 200, 50,
                          "Set sound alert level\r (0 = disable alert)");
  platform::CreateControl(kAlertWindow, kAlertLevelSpin, platform::kControlSpin, 250, 20, 80, 20,
                          "");
  platform::SetSpinRange(kAlertLevelSpin, kLevelLow, kLevelHigh);
  platform::SetSpinValue(kAlertLevelSpin, app.alertLevel);
  platform::CreateControl(kAlertWindow, kAlertAverageCheck, platform::kControlCheckBox, 20, 60, 200,
                          15, "Use 10 minute average for alert");
  platform::SetCheckBox(kAlertAverageCheck, app.alertUseAverage != 0);
  platform::CreateControl(kAlertWindow, kNoId, platform::kControlStatic, 20, 100, 250, 20,
                          "Alternate sound file");
  platform::CreateControl(kAlertWindow, kAlertSoundField, platform::kControlReadOnly, 20, 125, 250,
                          20, "(built-in)");
  platform::CreateControl(kAlertWindow, kAlertBrowseButton, platform::kControlButton, 275, 125, 65,
                          20, "browse");
  platform::CreateControl(kAlertWindow, kAlertOkButton, platform::kControlButton, 125, 160, 100, 30,
                          "Ok");
  if (app.alertSoundFile.size() > 2) platform::SetControlText(kAlertSoundField, app.alertSoundFile);
  platform::ActivateWindow(kAlertWindow);
}

void BrowseAlertSound(void* argument) {
  (void)argument;
  std::string path = platform::ChooseFileToOpen("Please choose an alert sound", "Sound Files",
                                                "*.wav", platform::ForegroundWindow());
  if (path.empty()) return;
  // The field and alertSoundFile belong to the user-interface thread, which
  // the minute tick reads it on: the path goes over as one whole text.
  platform::PostSoundChosen(path);
  platform::PlaySoundAsync(path);
}

void StoreChosenSound(const std::string& path) {
  // Window 3 may have been closed while the dialog was open; the text then
  // goes nowhere, but the path is kept for the alert and the next opening.
  platform::SetControlText(kAlertSoundField, path);
  app.alertSoundFile = path;
}
