// The alert settings window on the sim backend: its layout, the settings
// written at once by its controls, and the sound-file chooser on its thread.
#include "ui/alert_settings.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

// Runs the loop over what is queued and `idleTurns` idle turns; callable
// again after an earlier run ended with Quit.
void RunTurns(int idleTurns) {
  app.quitRequested = 0;
  scenario::RunLoopTurns(idleTurns);
}

void OpenFromMenu() {
  sim::PushMenuCommand(kMenuAlertSettings);
  RunTurns(1);
}

struct ExpectedControl {
  int id;
  platform::ControlKind kind;
  int x, y, width, height;
  const char* text;
};

TEST(AlertSettings, FirstOpeningShowsTheStartValuesInTheLaidOutControls) {
  scenario::StartProgram();
  sim::WindowInfo main = sim::Window(kMainWindow);
  OpenFromMenu();

  sim::WindowInfo w = sim::Window(kAlertWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "Audible Alert Config");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption});
  EXPECT_EQ(w.clientWidth, 350);
  EXPECT_EQ(w.clientHeight, 200);
  EXPECT_TRUE(w.visible);
  EXPECT_TRUE(w.active);
  int mainWidth = 0, mainHeight = 0, outerWidth = 0, outerHeight = 0;
  platform::OuterSizeForClient(main.style, main.clientWidth, main.clientHeight, &mainWidth,
                               &mainHeight);
  platform::OuterSizeForClient(w.style, 350, 200, &outerWidth, &outerHeight);
  EXPECT_EQ(w.x, main.x + (mainWidth - outerWidth) / 2);
  EXPECT_GT(w.y, main.y) << "centred over the main window with its menu bar";

  const ExpectedControl expected[] = {
      {-1, platform::kControlStatic, 20, 20, 200, 50,
       "Set sound alert level\r (0 = disable alert)"},
      {kAlertLevelSpin, platform::kControlSpin, 250, 20, 80, 20, "0"},
      {kAlertAverageCheck, platform::kControlCheckBox, 20, 60, 200, 15,
       "Use 10 minute average for alert"},
      {-1, platform::kControlStatic, 20, 100, 250, 20, "Alternate sound file"},
      {kAlertSoundField, platform::kControlReadOnly, 20, 125, 250, 20, "(default sound)"},
      {kAlertBrowseButton, platform::kControlButton, 275, 125, 65, 20, "browse"},
      {kAlertOkButton, platform::kControlButton, 125, 160, 100, 30, "Ok"},
  };
  std::vector<std::pair<int, int>> order;
  for (const ExpectedControl& e : expected) order.emplace_back(kAlertWindow, e.id);
  std::vector<std::pair<int, int>> created = sim::ControlCreationOrder();
  created.erase(created.begin(), created.end() - static_cast<long>(order.size()));
  EXPECT_EQ(created, order);
  EXPECT_EQ(sim::StaticTexts(kAlertWindow),
            (std::vector<std::string>{expected[0].text, expected[3].text}));
  for (const ExpectedControl& e : expected) {
    if (e.id < 0) continue;
    sim::ControlInfo c = sim::Control(e.id);
    EXPECT_EQ(c.window, kAlertWindow) << e.id;
    EXPECT_EQ(c.kind, e.kind) << e.id;
    EXPECT_EQ(c.x, e.x) << e.id;
    EXPECT_EQ(c.y, e.y) << e.id;
    EXPECT_EQ(c.width, e.width) << e.id;
    EXPECT_EQ(c.height, e.height) << e.id;
    EXPECT_EQ(c.text, e.text) << e.id;
  }
  sim::ControlInfo spin = sim::Control(kAlertLevelSpin);
  EXPECT_EQ(spin.spinLow, 0);
  EXPECT_EQ(spin.spinHigh, 1000);
  EXPECT_EQ(spin.spinValue, 0);
  EXPECT_FALSE(sim::Control(kAlertAverageCheck).ticked);
  EXPECT_EQ(app.alertLevel, 0);
}

TEST(AlertSettings, CentresOverTheActiveWindowAndNeverOffTheTopLeft) {
  struct Case {
    int x, y, clientWidth, clientHeight;  // the active window; clientWidth 0: none active
    int expectedX, expectedY;
  };
  int outerWidth = 0, outerHeight = 0;
  platform::OuterSizeForClient(platform::kStyleCaption, 350, 200, &outerWidth, &outerHeight);
  int activeWidth = 0, activeHeight = 0;
  platform::OuterSizeForClient(platform::kStyleCaption, 700, 500, &activeWidth, &activeHeight);
  const int halfWidth = (activeWidth - outerWidth) / 2;
  const int halfHeight = (activeHeight - outerHeight) / 2;
  const Case cases[] = {
      {100, 50, 700, 500, 100 + halfWidth, 50 + halfHeight},
      {-300, 10, 700, 500, 0, 10 + halfHeight},
      {10, -400, 700, 500, 10 + halfWidth, 0},
      {5, 5, 100, 40, 0, 0},  // smaller than the new window
      {300, 300, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    sim::Reset();
    app = AppState{};
    if (c.clientWidth > 0) {
      ASSERT_TRUE(platform::CreateTopWindow(kMainWindow, "main", platform::kStyleCaption, c.x, c.y,
                                            c.clientWidth, c.clientHeight));
    }
    OpenAlertSettings();
    sim::WindowInfo w = sim::Window(kAlertWindow);
    EXPECT_EQ(w.x, c.expectedX) << c.x << "," << c.y;
    EXPECT_EQ(w.y, c.expectedY) << c.x << "," << c.y;
  }
}

TEST(AlertSettings, ControlsWriteTheSettingsAtOnceAndOkOnlyCloses) {
  scenario::StartProgram();
  OpenFromMenu();

  sim::StepSpin(kAlertLevelSpin, 1);
  RunTurns(0);
  EXPECT_EQ(app.alertLevel, 1);

  sim::TypeIntoSpin(kAlertLevelSpin, "250");
  RunTurns(0);
  EXPECT_EQ(app.alertLevel, 250);

  sim::ClickCheckBox(kAlertAverageCheck);
  RunTurns(0);
  EXPECT_EQ(app.alertUseAverage, 1);

  sim::PushControlEvent(kAlertOkButton);
  RunTurns(1);
  EXPECT_FALSE(sim::Window(kAlertWindow).exists);
  EXPECT_EQ(app.alertLevel, 250);
  EXPECT_EQ(app.alertUseAverage, 1);

  OpenFromMenu();
  EXPECT_EQ(sim::Control(kAlertLevelSpin).spinValue, 250);
  EXPECT_TRUE(sim::Control(kAlertAverageCheck).ticked);
  sim::ClickCheckBox(kAlertAverageCheck);
  RunTurns(0);
  EXPECT_EQ(app.alertUseAverage, 0);
}

TEST(AlertSettings, OpeningItAgainClosesTheOpenOneAndShowsTheFieldsAfresh) {
  scenario::StartProgram();
  OpenFromMenu();
  app.alertLevel = 42;
  sim::PushMenuCommand(kMenuAlertSettings);
  RunTurns(1);
  ASSERT_TRUE(sim::Window(kAlertWindow).exists);
  int spins = 0;
  for (const auto& [window, id] : sim::ControlCreationOrder()) spins += id == kAlertLevelSpin;
  EXPECT_EQ(spins, 1);
  EXPECT_EQ(sim::Control(kAlertLevelSpin).spinValue, 42);
  EXPECT_EQ(app.alertLevel, 42);
}

TEST(AlertSettings, AWindowThatCannotBeCreatedGetsNoControls) {
  scenario::StartProgram();
  sim::FailNextWindow();
  OpenFromMenu();
  EXPECT_FALSE(sim::Window(kAlertWindow).exists);
  EXPECT_FALSE(sim::Control(kAlertLevelSpin).exists);
}

TEST(AlertSettings, BrowseCancelledChangesNothing) {
  scenario::StartProgram();
  OpenFromMenu();
  sim::PushControlEvent(kAlertBrowseButton);
  RunTurns(1);
  sim::JoinThreads();
  RunTurns(1);

  std::vector<sim::DialogCall> dialogs = sim::FileDialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].title, "Please choose an alert sound");
  EXPECT_EQ(dialogs[0].filterName, "Sound Files");
  EXPECT_EQ(dialogs[0].pattern, "*.wav");
  EXPECT_EQ(dialogs[0].owner, kAlertWindow);
  EXPECT_EQ(app.alertSoundFile, "(default sound)");
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "(default sound)");
  EXPECT_TRUE(sim::PlayedSounds().empty());
}

TEST(AlertSettings, AChosenFileIsShownStoredAndPlayedOnce) {
  scenario::StartProgram();
  OpenFromMenu();
  const std::string path = "C:\\Sounds\\my alarm.wav";
  sim::AnswerFileDialog(path);
  sim::PushControlEvent(kAlertBrowseButton);
  RunTurns(1);
  sim::JoinThreads();
  RunTurns(1);
  EXPECT_EQ(sim::Control(kAlertSoundField).text, path);
  EXPECT_EQ(app.alertSoundFile, path);
  EXPECT_EQ(sim::PlayedSounds(), std::vector<std::string>{path});
}

TEST(AlertSettings, AFileChosenAfterTheWindowClosedIsKeptForTheNextOpening) {
  scenario::StartProgram();
  OpenFromMenu();
  const std::string path = "D:\\alert.wav";
  sim::AnswerFileDialog(path);
  sim::PushControlEvent(kAlertBrowseButton);
  sim::PushControlEvent(kAlertOkButton);
  RunTurns(0);
  EXPECT_FALSE(sim::Window(kAlertWindow).exists);
  sim::JoinThreads();
  RunTurns(1);
  EXPECT_EQ(app.alertSoundFile, path);
  EXPECT_FALSE(sim::Control(kAlertSoundField).exists);
  EXPECT_EQ(sim::PlayedSounds(), std::vector<std::string>{path});

  OpenFromMenu();
  EXPECT_EQ(sim::Control(kAlertSoundField).text, path);
}

TEST(AlertSettings, TheDialogClosedLastWithAFileWins) {
  scenario::StartProgram();
  OpenFromMenu();
  for (const char* path : {"C:\\first.wav", "C:\\second.wav"}) {
    sim::AnswerFileDialog(path);
    sim::PushControlEvent(kAlertBrowseButton);
    RunTurns(0);
    sim::JoinThreads();
  }
  RunTurns(1);
  EXPECT_EQ(app.alertSoundFile, "C:\\second.wav");
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "C:\\second.wav");
  EXPECT_EQ(sim::PlayedSounds(), (std::vector<std::string>{"C:\\first.wav", "C:\\second.wav"}));
}

TEST(AlertSettings, ARestartIsBackAtTheStartValues) {
  scenario::StartProgram();
  OpenFromMenu();
  sim::StepSpin(kAlertLevelSpin, 5);
  sim::ClickCheckBox(kAlertAverageCheck);
  sim::AnswerFileDialog("C:\\a.wav");
  sim::PushControlEvent(kAlertBrowseButton);
  RunTurns(1);
  sim::JoinThreads();
  RunTurns(1);
  ASSERT_EQ(app.alertLevel, 5);

  scenario::StartProgram();
  EXPECT_EQ(app.alertLevel, 0);
  EXPECT_EQ(app.alertUseAverage, 0);
  EXPECT_EQ(app.alertSoundFile, "(default sound)");
  OpenFromMenu();
  EXPECT_EQ(sim::Control(kAlertLevelSpin).spinValue, 0);
  EXPECT_FALSE(sim::Control(kAlertAverageCheck).ticked);
  EXPECT_EQ(sim::Control(kAlertSoundField).text, "(default sound)");
}

}  // namespace
