// The alert settings window on the sim backend: its controls, their events
// writing AppState at once, and the sound-file chooser on its own thread.
#include "ui/alert_settings.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

void OpenWindow() {
  sim::PushMenuCommand(kMenuAlertSettings);
  scenario::RunLoopTurns(0);
  app.quitRequested = 0;
}

void RunEvents() {
  scenario::RunLoopTurns(0);
  app.quitRequested = 0;
}

TEST(AlertSettings, FirstOpeningShowsTheStartValues) {
  scenario::StartProgram();
  OpenWindow();
  sim::WindowInfo w = sim::Window(kAlertWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "Audible Alert Config");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption});
  EXPECT_EQ(w.clientWidth, 350);
  EXPECT_EQ(w.clientHeight, 200);
  EXPECT_TRUE(w.active);

  const std::vector<std::pair<int, int>> order = {{kAlertWindow, -1},
                                                  {kAlertWindow, kAlertLevelSpin},
                                                  {kAlertWindow, kAlertAverageCheck},
                                                  {kAlertWindow, -1},
                                                  {kAlertWindow, kAlertSoundField},
                                                  {kAlertWindow, kAlertBrowseButton},
                                                  {kAlertWindow, kAlertOkButton}};
  std::vector<std::pair<int, int>> created;
  for (auto entry : sim::ControlCreationOrder()) {
    if (entry.first == kAlertWindow) created.push_back(entry);
  }
  EXPECT_EQ(created, order);
  EXPECT_EQ(sim::StaticTexts(kAlertWindow),
            (std::vector<std::string>{"Set sound alert level\r (0 = disable alert)",
                                      "Alternate sound file"}));

  sim::ControlInfo spin = sim::Control(kAlertLevelSpin);
  EXPECT_EQ(spin.spinLow, 0);
  EXPECT_EQ(spin.spinHigh, 1000);
  EXPECT_EQ(spin.spinValue, 0);
  EXPECT_EQ(spin.x, 250);
  EXPECT_EQ(spin.width, 80);
  EXPECT_FALSE(sim::Control(kAlertAverageCheck).ticked);
  EXPECT_EQ(sim::Control(kAlertAverageCheck).text, "Use 10 minute average for alert");
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "(default sound)");
  EXPECT_EQ(sim::Control(kAlertSoundField).kind, platform::kControlReadOnly);
  EXPECT_EQ(sim::Control(kAlertBrowseButton).text, "browse");
  EXPECT_EQ(sim::Control(kAlertOkButton).text, "Ok");
}

TEST(AlertSettings, ControlEventsWriteTheSettingsAtOnce) {
  scenario::StartProgram();
  OpenWindow();
  sim::StepSpin(kAlertLevelSpin, 1);
  RunEvents();
  EXPECT_EQ(app.alertLevel, 1);
  sim::TypeIntoSpin(kAlertLevelSpin, "250");
  RunEvents();
  EXPECT_EQ(app.alertLevel, 250);
  sim::TypeIntoSpin(kAlertLevelSpin, "5000");
  RunEvents();
  EXPECT_EQ(app.alertLevel, 1000) << "the spin keeps its value within its range";
  sim::ClickCheckBox(kAlertAverageCheck);
  RunEvents();
  EXPECT_EQ(app.alertUseAverage, 1);

  sim::PushControlEvent(kAlertOkButton);
  RunEvents();
  EXPECT_FALSE(sim::Window(kAlertWindow).exists);
  EXPECT_EQ(app.alertLevel, 1000);
  EXPECT_EQ(app.alertUseAverage, 1);

  OpenWindow();  // shown afresh from the fields
  EXPECT_EQ(sim::Control(kAlertLevelSpin).spinValue, 1000);
  EXPECT_TRUE(sim::Control(kAlertAverageCheck).ticked);
}

TEST(AlertSettings, BrowseCancelledChangesNothing) {
  scenario::StartProgram();
  OpenWindow();
  sim::PushControlEvent(kAlertBrowseButton);
  RunEvents();
  sim::JoinThreads();
  RunEvents();
  ASSERT_EQ(sim::FileDialogs().size(), 1u);
  sim::DialogCall dialog = sim::FileDialogs()[0];
  EXPECT_EQ(dialog.title, "Please choose an alert sound");
  EXPECT_EQ(dialog.filterName, "Sound Files");
  EXPECT_EQ(dialog.pattern, "*.wav");
  EXPECT_EQ(dialog.owner, kAlertWindow);
  EXPECT_EQ(app.alertSoundFile, "(default sound)");
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "(default sound)");
  EXPECT_TRUE(sim::PlayedSounds().empty());
}

TEST(AlertSettings, APathChosenAfterTheWindowClosedIsKeptAndShownNextTime) {
  scenario::StartProgram();
  OpenWindow();
  const std::string path = "C:\\sounds\\geiger alarm.wav";
  sim::AnswerFileDialog(path);
  sim::PushControlEvent(kAlertBrowseButton);
  sim::PushControlEvent(kAlertOkButton);
  RunEvents();
  sim::JoinThreads();
  RunEvents();  // the chosen path reaches the user-interface thread
  EXPECT_FALSE(sim::Window(kAlertWindow).exists);
  EXPECT_EQ(app.alertSoundFile, path);
  EXPECT_EQ(sim::PlayedSounds(), std::vector<std::string>{path});
  OpenWindow();
  EXPECT_EQ(sim::Control(kAlertSoundField).text, path);
}

TEST(AlertSettings, TheDialogClosedLastWithAFileWins) {
  scenario::StartProgram();
  OpenWindow();
  sim::AnswerFileDialog("C:\\a.wav");
  sim::PushControlEvent(kAlertBrowseButton);
  RunEvents();
  sim::JoinThreads();
  sim::AnswerFileDialog("C:\\b.wav");
  sim::PushControlEvent(kAlertBrowseButton);
  RunEvents();
  sim::JoinThreads();
  RunEvents();
  EXPECT_EQ(app.alertSoundFile, "C:\\b.wav");
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "C:\\b.wav");
}

TEST(AlertSettings, ARestartIsBackAtTheStartValues) {
  scenario::StartProgram();
  app.alertLevel = 70;
  app.alertUseAverage = 1;
  app.alertSoundFile = "C:\\a.wav";
  scenario::StartProgram();
  OpenWindow();
  EXPECT_EQ(sim::Control(kAlertLevelSpin).spinValue, 0);
  EXPECT_FALSE(sim::Control(kAlertAverageCheck).ticked);
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "(default sound)");
}

TEST(AlertSettings, IsCentredOverTheActiveWindowOrAtTheOrigin) {
  scenario::StartProgram();
  sim::WindowInfo main = sim::Window(kMainWindow);
  platform::Rect active;
  ASSERT_TRUE(platform::ActiveWindowRect(&active));
  int width = 0, height = 0;
  platform::OuterSizeForClient(platform::kStyleCaption, 350, 200, &width, &height);
  OpenWindow();
  sim::WindowInfo w = sim::Window(kAlertWindow);
  EXPECT_EQ(w.x, main.x + (active.width - width) / 2);
  EXPECT_EQ(w.y, main.y + (active.height - height) / 2);

  sim::SetActiveWindow(-1);
  OpenWindow();
  EXPECT_EQ(sim::Window(kAlertWindow).x, 0);
  EXPECT_EQ(sim::Window(kAlertWindow).y, 0);

  ASSERT_TRUE(
      platform::CreateTopWindow(kHelpWindow, "Help", platform::kStyleCaption, -300, -200, 50, 50));
  OpenWindow();  // over a small window near the corner: never off the screen
  EXPECT_EQ(sim::Window(kAlertWindow).x, 0);
  EXPECT_EQ(sim::Window(kAlertWindow).y, 0);
}

}  // namespace
