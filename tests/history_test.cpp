// The three-hour history buffer, its reload from the data file's tail, the
// data file itself and the command that shows its folder.
#include "records/history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_files.h"
#include "records/date_mask.h"
#include "records/minute_tick.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

// The sim clock at boot: 2014-02-21 12:00:00 local.
const int64_t kNow = MakeDateValue(2014, 2, 21, 12, 0, 0);
const int64_t kCutoff = kNow - 10800;

std::string Line(int64_t t, const std::string& count) {
  return FormatDateValue(t, "%yyyy-%mm-%dd\t%hh:%ii:%ss") + "\t" + count + "\r\n";
}

std::vector<std::pair<int32_t, int64_t>> Entries() {
  std::vector<std::pair<int32_t, int64_t>> entries;
  for (int i = 0; i <= app.historyLast; ++i) {
    entries.emplace_back(app.history[i].count, app.history[i].time);
  }
  return entries;
}

// Each test runs the program's start-up in a folder of its own, which holds
// an empty folder "data", and the station "ABC.5".
class History : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessivar-history-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    std::filesystem::create_directory("data");
    scenario::StartProgram();
    sim::ResetFiles();
    app.networkId = "ABC.5";
  }
  void TearDown() override {
    EXPECT_EQ(sim::OpenFileCount(), 0) << "every file is closed within its operation";
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }
  static void WriteDataFile(const std::string& bytes) {
    std::ofstream("data/log-ABC.5.txt", std::ios::binary) << bytes;
  }
  static std::string ReadDataFile() {
    std::ifstream in("data/log-ABC.5.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path folder_, previous_;
};

TEST_F(History, FirstEntryTakesSlotZeroAndTheNextFollows) {
  AppendHistory(7, kNow);
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{7, kNow}}));
  AppendHistory(9, kNow + 60);
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{7, kNow}, {9, kNow + 60}}));
  AppendHistory(3, 0);
  EXPECT_EQ(app.history[2].time, kNow) << "time 0 stands for the clock's date value";
}

TEST_F(History, FullBufferDropsTheOldestEntry) {
  for (int i = 0; i < 181; ++i) AppendHistory(i, kNow + 60 * i);
  EXPECT_EQ(app.historyLast, 180);
  EXPECT_EQ(app.history[0].count, 0);
  EXPECT_EQ(app.history[180].count, 180);
  AppendHistory(181, kNow + 60 * 181);
  EXPECT_EQ(app.historyLast, 180);
  EXPECT_EQ(app.history[0].count, 1);
  EXPECT_EQ(app.history[179].count, 180);
  EXPECT_EQ(app.history[180].count, 181);
}

TEST_F(History, OldestEntryLeavesOnlyWhenMoreThanThreeHoursOlderThanTheNewOne) {
  struct Case {
    int64_t newTime;
    int32_t last;
    int32_t firstCount;
  } cases[] = {{kNow + 10800, 6, 0}, {kNow + 10801, 5, 1}};
  for (const Case& c : cases) {
    app.historyLast = 0;
    app.history[0] = HistoryEntry{0, 0};
    for (int i = 0; i < 6; ++i) AppendHistory(i, kNow + i);
    AppendHistory(99, c.newTime);
    EXPECT_EQ(app.historyLast, c.last) << c.newTime - kNow;
    EXPECT_EQ(app.history[0].count, c.firstCount) << c.newTime - kNow;
    EXPECT_EQ(app.history[c.last].count, 99) << c.newTime - kNow;
  }
}

TEST_F(History, AfterAPauseOneOldEntryLeavesPerAppend) {
  for (int i = 0; i < 4; ++i) AppendHistory(i, kNow + 60 * i);
  AppendHistory(10, kNow + 86400);
  AppendHistory(11, kNow + 86460);
  EXPECT_EQ(Entries(),
            (std::vector<std::pair<int32_t, int64_t>>{
                {2, kNow + 120}, {3, kNow + 180}, {10, kNow + 86400}, {11, kNow + 86460}}));
}

TEST_F(History, MissingFileOrFolderLeavesOnlySlotZeroAndRedrawsTheChart) {
  for (bool removeFolder : {false, true}) {
    if (removeFolder) std::filesystem::remove("data");
    app.history[0] = HistoryEntry{4, kNow - 60};
    app.historyLast = 3;
    app.statusText = "  CPM=4";
    SetStatusBarText(1, app.statusText);
    int drawings = sim::DrawingCount();
    ReloadHistory();
    EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{4, kNow - 60}}));
    EXPECT_EQ(sim::StatusField(1), "  CPM=4") << "no reading message without a file";
    EXPECT_EQ(sim::DrawingCount(), drawings + 1);
    EXPECT_EQ(sim::Control(kChartControl).picture, kChartImage);
  }
}

TEST_F(History, ReloadShowsThePassingReadingText) {
  WriteDataFile(Line(kNow - 60, "12"));
  app.statusText = "  CPM=5";
  ReloadHistory();
  EXPECT_EQ(sim::StatusField(1), "  CPM=5 --  Reading file data\\log-ABC.5.txt");
  EXPECT_EQ(app.statusText, "  CPM=5");
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{12, kNow - 60}}));
  EXPECT_EQ(sim::DrawnTexts().at(0).text, "Last CPM: 12");
}

TEST_F(History, SmallFileIsReadFromItsStart) {
  std::string bytes = Line(kNow - 10000, "10" + std::string(16, 'x'));
  for (int i = 1; i < 166; ++i) bytes += Line(kNow - 10000 + 60 * i, "10");
  ASSERT_EQ(bytes.size(), 4000u);
  WriteDataFile(bytes);
  ReloadHistory();
  EXPECT_EQ(sim::SeekPositions(), std::vector<int64_t>{0});
  EXPECT_EQ(sim::BytesRead(), 4000);
  EXPECT_EQ(app.historyLast, 165);
  EXPECT_EQ(app.history[0].time, kNow - 10000);
  EXPECT_EQ(app.history[165].time, kNow - 10000 + 60 * 165);
}

TEST_F(History, LargeFileIsReadFromItsLast4320Bytes) {
  // 416 lines of 24 bytes after a 16-byte one: 10 000 bytes, 30 s apart.
  std::string bytes = "not a date line\n";
  for (int i = 416; i >= 1; --i) bytes += Line(kNow - 30 * i, std::to_string(10 + i % 80));
  ASSERT_EQ(bytes.size(), 10000u);
  WriteDataFile(bytes);
  ReloadHistory();
  EXPECT_EQ(sim::SeekPositions(), std::vector<int64_t>{5680});
  EXPECT_EQ(sim::BytesRead(), 4320);
  // The seek lands on the start of the line of kNow - 5400, which is thrown away.
  EXPECT_EQ(app.historyLast, 178);
  EXPECT_EQ(app.history[0].time, kNow - 30 * 179);
  EXPECT_EQ(app.history[178].time, kNow - 30);
}

TEST_F(History, LineCutOrMetBySeekIsThrownAway) {
  // Padding, then 180 lines of 24 bytes; each of the last lines that has a
  // one-digit count moves the start of the tail back into the padding by a byte.
  struct Case {
    int shortLines;
    int32_t stored;
    const char* where;
  } cases[] = {{0, 179, "on the start of the first line"},
               {1, 180, "on the LF of the padding"},
               {2, 180, "on the CR of the padding"},
               {5, 180, "inside the padding"}};
  for (const Case& c : cases) {
    std::string bytes = std::string(30, 'x') + "\r\n";
    for (int i = 180; i >= 1; --i) bytes += Line(kNow - 30 * i, i <= c.shortLines ? "1" : "10");
    WriteDataFile(bytes);
    app.history[0] = HistoryEntry{0, 0};
    ReloadHistory();
    EXPECT_EQ(app.historyLast + 1, c.stored) << c.where;
    EXPECT_EQ(app.history[0].time, kNow - 30 * c.stored) << c.where;
  }
}

TEST_F(History, OnlyLinesStrictlyNewerThanThreeHoursAreStored) {
  WriteDataFile(Line(kCutoff - 1, "1") + Line(kCutoff, "2") + Line(kCutoff + 1, "3") +
                Line(kNow, "4"));
  ReloadHistory();
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{3, kCutoff + 1}, {4, kNow}}));
}

TEST_F(History, MalformedLinesFollowTheReadingRules) {
  std::mt19937 random(7);
  std::string garbage;
  for (int i = 0; i < 300; ++i) garbage += static_cast<char>(0x80 + random() % 0x80);
  const int64_t t = kNow - 3600;
  std::string bytes = Line(t, "5") + Line(t, "6").replace(5, 2, "13") +  // month 13
                      "2014-04-31\t11:00:00\t6\r\n" +                    // 31 April
                      "2015-02-29\t11:00:00\t6\r\n" +                    // not a leap year
                      Line(t + 1, "abc") +                               // letters: 0
                      "2014-02\r\n" +                                    // day 0
                      "2014-02-21\t11:0\r\n" +                           // short: 11:00:00
                      garbage + "\r\n" +                                 // binary: no date
                      Line(t + 2, "7").replace(21, 2, std::string(1, '\0')) +
                      Line(t + 3, "8").replace(21, 2, "\r") +  // CR alone
                      Line(t + 4, "9").replace(21, 2, "\n") +  // LF alone
                      Line(t + 5, " \t-12x") + Line(t + 6, "+7") + Line(t + 7, "99999999999") +
                      Line(t + 8, "-99999999999") +
                      "2014-02-21\t11:00:09";  // no line ending at the end
  WriteDataFile(bytes);
  ReloadHistory();
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{5, t},
                                                                 {0, t + 1},
                                                                 {0, t},
                                                                 {7, t + 2},
                                                                 {8, t + 3},
                                                                 {9, t + 4},
                                                                 {-12, t + 5},
                                                                 {7, t + 6},
                                                                 {INT32_MAX, t + 7},
                                                                 {INT32_MIN, t + 8},
                                                                 {0, t + 9}}));
}

TEST_F(History, HugeLineAtTheTailIsReadOnlyWithinTheTail) {
  const std::string older = Line(kNow - 120, "11") + Line(kNow - 60, "12");
  const std::string huge(10 * 1024 * 1024, '7');
  struct Case {
    std::string bytes;
    std::vector<std::pair<int32_t, int64_t>> entries;
  } cases[] = {
      {older + huge, {}},
      {older + huge + "\r\n" + Line(kNow, "13"), {{13, kNow}}},
      {older + "2014-02-21\t11:59:30\t" + huge, {}},
  };
  for (const Case& c : cases) {
    WriteDataFile(c.bytes);
    sim::ResetFiles();
    app.history[0] = HistoryEntry{0, 0};
    ReloadHistory();
    EXPECT_EQ(sim::BytesRead(), 4320);
    std::vector<std::pair<int32_t, int64_t>> expected = c.entries;
    if (expected.empty()) expected.emplace_back(0, 0);
    EXPECT_EQ(Entries(), expected);
  }
}

TEST_F(History, ReloadWhileRunningKeepsSlotZero) {
  app.history[0] = HistoryEntry{3, kNow - 6000};
  for (int i = 1; i <= 40; ++i) app.history[i] = HistoryEntry{50, kNow - 6000 + 60 * i};
  app.historyLast = 40;
  WriteDataFile(Line(kNow - 6000, "3") + Line(kNow - 120, "21") + Line(kNow - 60, "22"));
  ReloadHistory();
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{
                           {3, kNow - 6000}, {3, kNow - 6000}, {21, kNow - 120}, {22, kNow - 60}}));
}

TEST_F(History, DateAfter2038RoundTripsThroughTheDataFile) {
  const int64_t t = MakeDateValue(2040, 3, 4, 17, 6, 7);
  ASSERT_GT(t, int64_t{INT32_MAX});
  sim::SetLocalNow(t);
  AppendDataFileLine(42);
  EXPECT_EQ(ReadDataFile(), "2040-03-04\t17:06:07\t42\r\n");
  sim::SetLocalNow(t + 60);
  ReloadHistory();
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{42, t}}));
  EXPECT_EQ(sim::DrawnTexts().at(6).text, "3/4/2040  5:06 PM");
}

TEST_F(History, DataFileHeldByAnotherProgramStaysReadable) {
  WriteDataFile(Line(kNow - 60, "12"));
  sim::HoldFileForWriting("data/log-ABC.5.txt", true);
  AppendDataFileLine(30);
  EXPECT_EQ(ReadDataFile(), Line(kNow - 60, "12")) << "the minute's line is lost";
  ReloadHistory();
  EXPECT_EQ(Entries(), (std::vector<std::pair<int32_t, int64_t>>{{12, kNow - 60}}));
  sim::HoldFileForWriting("data/log-ABC.5.txt", false);
  AppendDataFileLine(30);
  EXPECT_EQ(ReadDataFile(), Line(kNow - 60, "12") + Line(kNow, "30"));
}

TEST_F(History, DataFilePathUsesThePlatformSeparator) {
  EXPECT_EQ(DataFilePath(), "data/log-ABC.5.txt");
  std::filesystem::remove("data");
  AppendDataFileLine(5);
  EXPECT_FALSE(std::filesystem::exists("data")) << "the program never creates the folder";
}

TEST_F(History, OpenDataDirectoryRunsExplorerOrAsksTheShell) {
  OpenDataDirectory();
  ASSERT_EQ(sim::ProcessStarts().size(), 1u);
  EXPECT_EQ(sim::ProcessStarts()[0].commandLine, "\"explorer\" /select,log-ABC.5.txt");
  EXPECT_EQ(sim::ProcessStarts()[0].directory, "data");
  EXPECT_TRUE(sim::ShellOpens().empty());

  sim::FailProcessStart(true);
  OpenDataDirectory();
  ASSERT_EQ(sim::ShellOpens().size(), 1u);
  EXPECT_EQ(sim::ShellOpens()[0].file, "explorer");
  EXPECT_EQ(sim::ShellOpens()[0].parameters, "/select,log-ABC.5.txt");
  EXPECT_EQ(sim::ShellOpens()[0].directory, "data");
}

}  // namespace
