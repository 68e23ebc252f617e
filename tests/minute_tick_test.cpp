// The minute tick on the sim backend: status, history, chart, alert,
// hold-off, push report, data-file line and the reopen after a silent minute.
#include "records/minute_tick.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/app_state.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "device/serial_connection.h"
#include "platform/sim/sim.h"
#include "records/date_mask.h"
#include "records/history.h"
#include "tests/support/scenario.h"

namespace {

// Each test runs in a fresh working directory, with or without data/.
class MinuteTickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessivar-tick-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_NE(getcwd(oldDir_, sizeof oldDir_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    sim::JoinThreads();
    ASSERT_EQ(chdir(oldDir_), 0);
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  static void MakeDataFolder() { ASSERT_EQ(std::system("mkdir -p data"), 0); }
  static std::string DataFile() {
    std::ifstream in(DataFilePath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static std::string Line(int64_t when, int count) {
    return FormatDateValue(when, "%yyyy-%mm-%dd\t%hh:%ii:%ss") + "\t" + std::to_string(count) +
           "\r\n";
  }
  // One tick with `count` pulses counted in the minute.
  static void Tick(int count) {
    app.minuteCount = count;
    MinuteTick();
  }

  std::string dir_;
  char oldDir_[4096];
};

TEST_F(MinuteTickTest, TheAlertSoundsAtTheLevel) {
  struct Case {
    const char* what;
    int level, useAverage, count;
    bool sounds;
  };
  const Case cases[] = {
      {"level 50, 50 counts", 50, 0, 50, true},
      {"level 50, 49 counts", 50, 0, 49, false},
      {"level 0 is off", 0, 0, 1000, false},
      {"a negative level is off", -5, 0, 1000, false},
      {"average mode, one entry: the average is 0", 1, 1, 500, false},
  };
  for (const Case& c : cases) {
    scenario::StartProgram();
    app.alertLevel = c.level;
    app.alertUseAverage = c.useAverage;
    Tick(c.count);
    EXPECT_EQ(sim::PlayedSounds().size(), c.sounds ? 1u : 0u) << c.what;
    if (c.sounds) {
      EXPECT_EQ(sim::PlayedSounds()[0], "(default sound)") << c.what;
    }
  }
}

TEST_F(MinuteTickTest, InAverageModeTheMinutesOwnCountIsNotLookedAt) {
  scenario::StartProgram();
  int64_t now = platform::LocalNow();
  AppendHistory(10, now - 120);
  AppendHistory(10, now - 60);
  app.alertUseAverage = 1;
  app.alertLevel = 300;
  Tick(500);  // average of slots 1 and 2: (10 + 500) / 2 = 255
  EXPECT_EQ(app.tenMinuteAverage, 255);
  EXPECT_TRUE(sim::PlayedSounds().empty());
  app.alertLevel = 200;
  Tick(500);  // (10 + 500 + 500) / 3 = 336
  EXPECT_EQ(sim::PlayedSounds().size(), 1u);
}

TEST_F(MinuteTickTest, TheFirstPositiveMinuteIsShownAndStoredButNeitherPushedNorWritten) {
  MakeDataFolder();
  scenario::StartProgram();
  int drawings = sim::DrawingCount();
  Tick(7);
  EXPECT_EQ(sim::StatusField(1), "  CPM=7");
  EXPECT_EQ(app.statusText, "  CPM=7");
  EXPECT_EQ(app.history[0].count, 7);
  EXPECT_EQ(app.history[0].time, platform::LocalNow());
  EXPECT_EQ(sim::DrawingCount(), drawings + 1);
  EXPECT_EQ(sim::ThreadsStarted(), 0);
  EXPECT_EQ(DataFile(), "");
  EXPECT_EQ(app.reportHoldoff, 0);
  EXPECT_EQ(app.minuteCount, 0);

  sim::AdvanceClock(60000);
  Tick(9);
  EXPECT_EQ(sim::ThreadsStarted(), 1);
  EXPECT_EQ(DataFile(), Line(platform::LocalNow(), 9));
  EXPECT_EQ(app.historyLast, 1);
}

TEST_F(MinuteTickTest, ZeroMinutesReopenThePortAndDoNotUseUpTheHoldOff) {
  MakeDataFolder();
  sim::Reset();
  sim::AttachPort(3);
  RunStartup();
  PollCounterPort();
  int opens = sim::Port(3).opens;  // the scan's and the first poll's
  ASSERT_TRUE(sim::Port(3).open);
  Tick(0);
  Tick(0);
  EXPECT_EQ(sim::Port(3).opens, opens + 2);
  EXPECT_EQ(app.reportHoldoff, 1);
  Tick(12);  // the held-back minute
  EXPECT_EQ(app.reportHoldoff, 0);
  EXPECT_EQ(sim::ThreadsStarted(), 0);
  EXPECT_EQ(DataFile(), "");
  Tick(13);
  EXPECT_EQ(DataFile(), Line(platform::LocalNow(), 13));
}

TEST_F(MinuteTickTest, AZeroMinuteReloadsTheHistoryFromTheDataFile) {
  MakeDataFolder();
  sim::Reset();
  sim::AttachPort(3);
  RunStartup();
  int64_t now = platform::LocalNow();
  {
    std::ofstream out(DataFilePath(), std::ios::binary);
    out << Line(now - 180, 21) << Line(now - 120, 22) << Line(now - 60, 23);
  }
  PollCounterPort();  // the open reloads: slots 0 to 2
  ASSERT_EQ(app.historyLast, 2);
  Tick(0);  // stored as slot 3, then the reopen rebuilds from the file after slot 0
  // The reopen's own text replaces the zero minute's.
  EXPECT_EQ(app.statusText, "Opened serial port COM3");
  EXPECT_EQ(app.history[0].count, 21);
  EXPECT_EQ(app.history[1].count, 21);
  EXPECT_EQ(app.history[2].count, 22);
  EXPECT_EQ(app.history[3].count, 23);
  EXPECT_EQ(app.historyLast, 3);
}

TEST_F(MinuteTickTest, WithNoPortChosenEveryMinuteIsAZeroEntry) {
  MakeDataFolder();
  scenario::StartProgram();
  ASSERT_EQ(app.selectedPort, 0);
  size_t scanCalls = sim::SerialCalls().size();
  scenario::RunLoopTurns(3 * 60 * 5 + 2);  // three minutes of idle turns
  EXPECT_EQ(app.historyLast, 2);
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(app.history[i].count, 0);
  EXPECT_EQ(sim::SerialCalls().size(), scanCalls) << "nothing to open, nothing to reopen";
  EXPECT_EQ(DataFile(), "");
  EXPECT_EQ(sim::StatusField(1), "  CPM=0");
}

TEST_F(MinuteTickTest, WithoutADataFolderOnlyTheLineIsMissing) {
  scenario::StartProgram();
  app.reportHoldoff = 0;
  Tick(5);
  EXPECT_EQ(sim::ThreadsStarted(), 1);
  EXPECT_EQ(app.history[0].count, 5);
  EXPECT_NE(access("data", F_OK), 0) << "the program never creates the folder";
}

TEST_F(MinuteTickTest, AFileHeldOpenForWritingByAnotherProgramLosesOnlyThatLine) {
  MakeDataFolder();
  scenario::StartProgram();
  app.reportHoldoff = 0;
  sim::HoldFileForWriting(DataFilePath(), true);
  Tick(5);
  sim::HoldFileForWriting(DataFilePath(), false);
  sim::AdvanceClock(60000);
  Tick(6);
  EXPECT_EQ(DataFile(), Line(platform::LocalNow(), 6));
  EXPECT_EQ(sim::ThreadsStarted(), 2);
  EXPECT_EQ(sim::OpenFileCount(), 0);
}

// The chooser's thread hands paths over while minutes tick: every name the
// alert plays is one of the whole paths, never a mixture.
TEST_F(MinuteTickTest, ASoundPathSwappedByAnotherThreadIsNeverTorn) {
  static const std::string kPaths[] = {"(default sound)", std::string(300, 'a') + ".wav",
                                       "C:\\b.wav"};
  scenario::StartProgram();
  app.alertLevel = 1;
  app.reportHoldoff = 1000000;  // no push threads in this test
  std::atomic<bool> stop{false};
  std::thread chooser([&stop] {
    for (int i = 0; i < 20000 && !stop; ++i) {
      platform::PostSoundChosen(kPaths[1 + i % 2]);
      std::this_thread::yield();
    }
  });
  sim::OnWait([](int) { app.minuteCount = 5; });
  scenario::RunLoopTurns(20 * 60 * 5);  // twenty minutes
  stop = true;
  chooser.join();
  std::vector<std::string> played = sim::PlayedSounds();
  EXPECT_EQ(played.size(), 20u);
  for (const std::string& name : played) {
    EXPECT_TRUE(name == kPaths[0] || name == kPaths[1] || name == kPaths[2]) << name.size();
  }
}

}  // namespace
