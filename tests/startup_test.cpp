// Start-up and shut-down on the sim backend: start values, fonts, the timer,
// the drain of events that arrive while the window is built, and the exit.
#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/event_loop.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

TEST(FontPointSize, FollowsTheScreenDensityWithHalvesToEven) {
  struct Case {
    float dpi;
    int points[5];  // fonts 2 to 6
  };
  const int ks[5] = {3840, 864, 1728, 1344, 864};
  const Case cases[] = {
      {96.0f, {40, 9, 18, 14, 9}},
      {120.0f, {32, 7, 14, 11, 7}},
      {192.0f, {20, 4, 9, 7, 4}},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(FontPointSize(ks[i], c.dpi), c.points[i]) << "dpi " << c.dpi << " font " << i + 2;
    }
  }
}

TEST(Startup, GivesEveryFieldItsStartValue) {
  scenario::StartProgram();
  EXPECT_EQ(app.mainWindowHidden, 0);
  EXPECT_EQ(app.alertLevel, 0);
  EXPECT_EQ(app.alertUseAverage, 0);
  EXPECT_NE(app.windowMutex, nullptr);
  EXPECT_EQ(app.baudRate, 57600);
  EXPECT_EQ(app.decoderState, Undecided);
  EXPECT_EQ(app.serialPort, nullptr);
  EXPECT_EQ(app.minuteCount, 0);
  EXPECT_EQ(app.tenMinuteAverage, 0);
  EXPECT_EQ(app.reportHoldoff, 1);
  EXPECT_EQ(app.historyCapacity, 180);
  EXPECT_EQ(app.screenDpi, 96.0f);
  EXPECT_EQ(app.alertSoundFile, "(default sound)");
  EXPECT_EQ(app.lastEvent, 0);
  EXPECT_EQ(app.quitRequested, 0);
  EXPECT_EQ(app.selectedPort, 0);
  EXPECT_EQ(app.networkId, "");
  EXPECT_EQ(app.pendingMarker, 0);
  ASSERT_EQ(app.history.size(), 181u);
  for (const HistoryEntry& entry : app.history) {
    EXPECT_EQ(entry.count, 0);
    EXPECT_EQ(entry.time, 0);
  }
  EXPECT_EQ(app.historyLast, 0);
}

TEST(Startup, ASecondRunStartsFromTheSameValues) {
  scenario::StartProgram();
  app.alertLevel = 50;
  app.alertUseAverage = 1;
  app.alertSoundFile = "C:\\sounds\\beep.wav";
  app.history[0] = HistoryEntry{12, 1392984000};
  app.reportHoldoff = 0;
  scenario::StartProgram();
  EXPECT_EQ(app.alertLevel, 0);
  EXPECT_EQ(app.alertUseAverage, 0);
  EXPECT_EQ(app.alertSoundFile, "(default sound)");
  EXPECT_EQ(app.history[0].time, 0);
  EXPECT_EQ(app.reportHoldoff, 1);
}

TEST(Startup, ReadsTheScreenDensity) {
  sim::Reset();
  sim::SetScreenDpi(192);
  RunStartup();
  EXPECT_EQ(app.screenDpi, 192.0f);
}

TEST(Startup, StartsTheMinuteTimerOnTheMainWindow) {
  scenario::StartProgram();
  sim::TimerInfo timer = sim::Timer(0);
  ASSERT_TRUE(timer.exists);
  EXPECT_EQ(timer.window, kMainWindow);
  EXPECT_EQ(timer.ms, 60000);
}

TEST(Startup, TheMinuteTimerRaisesOneTimerEventPerMinute) {
  scenario::StartProgram();
  scenario::RunLoopTurns(5 * 60 * 5 + 2);  // five minutes of 200-ms idle turns
  int timerEvents = 0;
  for (int code : sim::DeliveredEvents()) timerEvents += code == platform::kEventTimer;
  EXPECT_EQ(timerEvents, 5);
}

TEST(Startup, EventsPendingDuringStartUpReachNoHandler) {
  sim::Reset();
  // Chosen while the window is still being built: the drain takes it.
  sim::PushMenuCommand(kMenuQuit);
  RunStartup();
  EXPECT_GE(sim::DrainedEventCount(), 1);
  EXPECT_EQ(app.quitRequested, 0);
  scenario::RunLoopTurns(3);
  const std::vector<int> expected = {0, 0, 0, platform::kEventMenu};
  EXPECT_EQ(sim::DeliveredEvents(), expected);
}

TEST(Shutdown, ReleasesEverythingAndExitsWithZero) {
  sim::Reset();
  sim::QuitAfterIdleTurns(2);
  InitializeApplication();
  EXPECT_EQ(sim::ExitCode(), 0);
  EXPECT_FALSE(sim::Tray(kTrayIconId).exists);
  EXPECT_FALSE(sim::Window(kMainWindow).exists);
}

}  // namespace
