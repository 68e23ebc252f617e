// The counter's serial port on the sim backend: the start-up scan, opening
// and greeting, choosing a port, failures, the modem check and the drain.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "device/serial_connection.h"
#include "platform/sim/sim.h"
#include "records/minute_tick.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

const std::string kGreetingBytes = {0x41, 0x54, 0x5A, 0x0D, 0x3C, 0x48, 0x45, 0x41, 0x52,
                                    0x54, 0x42, 0x45, 0x41, 0x54, 0x31, 0x3E, 0x3E};
const char kInitialText[] = "Initializing... NetworkID = ";

void StartWithPorts(std::initializer_list<int> ports) {
  sim::Reset();
  for (int n : ports) sim::AttachPort(n);
  RunStartup();
}

// Runs the event loop over the queued events and `idleTurns` idle turns.
void RunTurns(int idleTurns) {
  app.quitRequested = 0;
  scenario::RunLoopTurns(idleTurns);
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

struct Item {
  int id;
  std::string text;
  bool checked;
};

std::vector<Item> SerialPortItems() {
  std::vector<Item> items;
  std::vector<sim::MenuItem> bar = sim::MenuBar();
  for (const sim::MenuItem& item : bar.at(0).children.at(0).children) {
    items.push_back({item.id, item.text, item.checked});
  }
  return items;
}

void ExpectItems(const std::vector<Item>& expected) {
  std::vector<Item> actual = SerialPortItems();
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i].id, expected[i].id);
    EXPECT_EQ(actual[i].text, expected[i].text);
    EXPECT_EQ(actual[i].checked, expected[i].checked);
  }
}

std::vector<std::string> CallsSinceScan() {
  std::vector<std::string> calls = sim::SerialCalls();
  size_t scan = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind("open COM256 1200 0 0", 0) == 0) scan = i + 1;
  }
  return std::vector<std::string>(calls.begin() + static_cast<long>(scan), calls.end());
}

struct ScanCase {
  std::vector<int> attached;
  std::vector<int> held;
  std::vector<Item> items;
  int selected;
};

TEST(SerialScan, ListsThePortsThatOpenAndChoosesTheFirst) {
  const ScanCase kCases[] = {
      {{}, {}, {{0, "", false}}, 0},
      {{2, 5}, {}, {{2, "COM2", true}, {5, "COM5", false}}, 2},
      {{256}, {}, {{256, "COM256", true}}, 256},
      {{1, 9, 10}, {1}, {{9, "COM9", true}, {10, "COM10", false}}, 9},
  };
  for (const ScanCase& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.attached));
    sim::Reset();
    for (int n : c.attached) sim::AttachPort(n);
    for (int n : c.held) sim::HoldPort(n, true);
    RunStartup();
    ExpectItems(c.items);
    EXPECT_EQ(app.selectedPort, c.selected);
    const std::string id = c.selected == 0 ? "" : app.stationId + "." + std::to_string(c.selected);
    EXPECT_EQ(app.networkId, id);
    EXPECT_EQ(sim::FindMenuItem(kMenuNetworkId).text, "Network ID: " + id);
    EXPECT_EQ(app.serialPort, nullptr);
  }
}

TEST(SerialScan, TriesEveryPortWithTheScanSettingsAndTouchesNoLine) {
  StartWithPorts({2, 5});
  std::vector<std::string> expected;
  for (int n = 1; n <= 256; ++n) {
    const std::string open = "open COM" + std::to_string(n) + " 1200 0 0";
    if (n == 2 || n == 5) {
      expected.push_back(open);
      expected.push_back("close COM" + std::to_string(n));
    } else {
      expected.push_back(open + " failed");
    }
  }
  EXPECT_EQ(sim::SerialCalls(), expected);
  EXPECT_TRUE(sim::Port(2).written.empty());
  EXPECT_FALSE(sim::Port(2).open);
}

TEST(SerialOpen, TheFirstIdlePollOpensTheChosenPortAndGreetsTheCounter) {
  StartWithPorts({2, 5});
  app.minuteCount = 9;  // whatever the decoder left: an open starts afresh
  app.decoderState = PerByte;
  app.pendingMarker = 0xC0;
  RunTurns(1);

  EXPECT_EQ(CallsSinceScan(), (std::vector<std::string>{"open COM2 57600 1024 1024", "dtr COM2",
                                                        "rts COM2", "write COM2 17"}));
  sim::PortInfo port = sim::Port(2);
  EXPECT_EQ(port.written, kGreetingBytes);
  EXPECT_TRUE(port.dtr);
  EXPECT_TRUE(port.rts);
  EXPECT_EQ(app.statusText, "Opened serial port COM2");
  EXPECT_EQ(sim::StatusField(1), "Opened serial port COM2");
  EXPECT_EQ(app.minuteCount, 0);
  EXPECT_EQ(app.decoderState, Undecided);
  EXPECT_EQ(app.pendingMarker, 0xC0);  // an open leaves a pending sample alone

  RunTurns(3);  // an open port is drained, not opened again
  EXPECT_EQ(sim::Port(2).opens, 2) << "the scan's probe and the counter's open";
}

TEST(SerialOpen, WithNoPortChosenIdlePollsDoNothing) {
  StartWithPorts({});
  RunTurns(5);
  EXPECT_EQ(CallsSinceScan(), std::vector<std::string>{});
  EXPECT_EQ(sim::StatusFieldHistory(1), std::vector<std::string>{kInitialText});
}

struct FailureCase {
  const char* what;
  void (*fail)(int port);
  void (*mend)(int port);
};

TEST(SerialOpen, AFailedOpenIsReportedAtEveryIdlePollUntilThePortOpens) {
  const FailureCase kCases[] = {
      {"the port vanished", sim::DetachPort, sim::AttachPort},
      {"another program holds the port", [](int n) { sim::HoldPort(n, true); },
       [](int n) { sim::HoldPort(n, false); }},
  };
  for (const FailureCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StartWithPorts({2, 5});
    c.fail(2);
    RunTurns(3);
    const std::string before =
        std::string(kInitialText) + app.stationId + ".2" + "  Well I did initialize....";
    EXPECT_EQ(app.statusText, before + Repeat("Failed to open COM2", 3));
    const std::vector<std::string> shown = sim::StatusFieldHistory(1);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1], before + "Failed to open COM2");
    EXPECT_EQ(shown[3], app.statusText);

    c.mend(2);
    RunTurns(1);
    EXPECT_EQ(app.statusText, "Opened serial port COM2");
    EXPECT_EQ(sim::Port(2).written, kGreetingBytes);
  }
}

TEST(SerialSelect, ChoosingAPortThatVanishedMovesTheChoiceAndReportsEachPoll) {
  StartWithPorts({2, 5});
  RunTurns(1);
  sim::DetachPort(5);
  sim::PushMenuCommand(5);
  RunTurns(2);

  ExpectItems({{2, "COM2", false}, {5, "COM5", true}});
  EXPECT_EQ(app.selectedPort, 5);
  EXPECT_EQ(app.networkId, app.stationId + ".5");
  EXPECT_EQ(sim::FindMenuItem(kMenuNetworkId).text, "Network ID " + app.stationId + ".5");
  EXPECT_FALSE(sim::Port(2).open);
  EXPECT_EQ(app.statusText, "Opened serial port COM2" + Repeat("Failed to open COM5", 3));
  EXPECT_EQ(sim::StatusField(1), app.statusText);
}

TEST(SerialSelect, Port256IsChosenLikeAnyOther) {
  StartWithPorts({3, 256});
  ExpectItems({{3, "COM3", true}, {256, "COM256", false}});
  sim::PushMenuCommand(256);
  RunTurns(1);
  ExpectItems({{3, "COM3", false}, {256, "COM256", true}});
  EXPECT_EQ(app.selectedPort, 256);
  EXPECT_EQ(app.networkId, app.stationId + ".256");
  EXPECT_EQ(sim::FindMenuItem(kMenuNetworkId).text, "Network ID " + app.networkId);
  EXPECT_EQ(app.statusText, "Opened serial port COM256");
  EXPECT_EQ(sim::Port(256).written, kGreetingBytes);
}

TEST(SerialSelect, ChoosingTheChosenPortClosesItAndOpensItAgain) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, "\x01");
  RunTurns(1);
  ASSERT_EQ(app.minuteCount, 2);
  sim::PushMenuCommand(2);
  RunTurns(0);
  std::vector<std::string> calls = CallsSinceScan();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(calls[4], "close COM2");
  EXPECT_EQ(sim::Port(2).opens, 3);
  EXPECT_EQ(sim::Port(2).written, kGreetingBytes + kGreetingBytes);
  EXPECT_TRUE(sim::FindMenuItem(2).checked);
  EXPECT_EQ(app.minuteCount, 0);
}

struct ModemCase {
  const char* what;
  std::string reply;
  std::vector<std::string> lastShown;
};

TEST(SerialModem, AModemAnsweringTheGreetingIsGivenUp) {
  const std::string kRejected = "Opened serial port COM2 Error: Modem Detected!";
  const ModemCase kCases[] = {
      {"CR LF OK CR LF", "\r\nOK\r\n", {"Opened serial port COM2", kRejected}},
      {"the command echoed first", "ATZ\r\r\nOK\r\n", {"Opened serial port COM2", kRejected}},
      {"after a marker", "\x80\r\nOK\r\n", {" 0x80 CPM=0", kRejected}},
  };
  for (const ModemCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StartWithPorts({2, 5});
    sim::SetWriteReply(2, c.reply);
    RunTurns(5);

    EXPECT_EQ(app.serialPort, nullptr);
    EXPECT_FALSE(sim::Port(2).open);
    EXPECT_EQ(sim::Port(2).waiting, 0);
    EXPECT_EQ(app.statusText, kRejected);
    std::vector<std::string> shown = sim::StatusFieldHistory(1);
    EXPECT_EQ(std::vector<std::string>(shown.end() - 2, shown.end()), c.lastShown);
    ExpectItems({{2, "COM2", false}, {5, "COM5", false}});
    EXPECT_EQ(app.selectedPort, 0);
    EXPECT_EQ(app.networkId, "");
    EXPECT_EQ(sim::FindMenuItem(kMenuNetworkId).text, "Network ID ");
    EXPECT_EQ(sim::Port(2).opens, 2);  // the idle polls that followed opened nothing
    EXPECT_EQ(app.minuteCount, 0);
  }
}

struct ReplyCase {
  const char* what;
  std::string atOpen, later;
  int32_t count;
  std::string shown;
};

TEST(SerialModem, TheCheckSeesOnlyWhatIsAlreadyWaiting) {
  const ReplyCase kCases[] = {
      {"an OK not fully arrived is counted", "\r\nO", "K\r\n", 6, "     * 0x0A CPM=6"},
      {"a line feed waiting with the CR is consumed by the check", "\r\n", "", 0,
       "Opened serial port COM2"},
      {"a line feed after the check is counted", "\r", "\n", 2, " * 0x0A CPM=2"},
  };
  for (const ReplyCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StartWithPorts({2});
    sim::SetWriteReply(2, c.atOpen);
    RunTurns(2);
    sim::FeedPort(2, c.later);
    RunTurns(1);
    EXPECT_TRUE(sim::Port(2).open);
    EXPECT_EQ(app.selectedPort, 2);
    EXPECT_EQ(app.minuteCount, c.count);
    EXPECT_EQ(app.decoderState, PerByte);
    EXPECT_EQ(sim::StatusField(1), c.shown);
  }
}

TEST(SerialDrain, EveryWaitingByteIsDecodedWithAReadPerQueueFullAndOneTextIsShown) {
  StartWithPorts({2});
  RunTurns(1);
  const size_t shownBefore = sim::StatusFieldHistory(1).size();
  sim::FeedPort(2, std::string(2500, '\xFF'));
  RunTurns(1);
  EXPECT_EQ(app.minuteCount, 2500);
  EXPECT_EQ(sim::Port(2).reads, 3);  // 1024 + 1024 + 452
  EXPECT_EQ(sim::Port(2).waiting, 0);
  EXPECT_EQ(sim::StatusFieldHistory(1).size(), shownBefore + 1);
  EXPECT_EQ(sim::StatusField(1), std::string(2499, ' ') + "* 0xFF CPM=2500");
  EXPECT_EQ(app.statusText, "Opened serial port COM2");
}

TEST(SerialDrain, AFailedReadIsSkippedAndTheQueueTestedAgain) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, "\xFF\xFF\xFF");
  sim::FailReads(2, 1);
  PollCounterPort();
  EXPECT_EQ(app.minuteCount, 3);
  EXPECT_EQ(sim::Port(2).reads, 2);
}

TEST(SerialDrain, ADriverThatNeverDeliversDoesNotHoldTheWindow) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, "\xFF\xFF\xFF");
  sim::FailReads(2, 100);
  PollCounterPort();  // returns although the bytes are still reported waiting
  EXPECT_EQ(app.minuteCount, 0);
  EXPECT_EQ(sim::Port(2).waiting, 3);
  PollCounterPort();
  PollCounterPort();
  EXPECT_EQ(app.minuteCount, 3);
}

TEST(SerialDrain, APortUnpluggedWhileOpenIsReopenedByTheQuietMinute) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, "\xFF");
  PollCounterPort();
  sim::DetachPort(2);
  PollCounterPort();
  EXPECT_EQ(app.minuteCount, 1);
  MinuteTick();
  MinuteTick();  // a minute with no count: close and open again, which fails
  EXPECT_EQ(app.serialPort, nullptr);
  EXPECT_EQ(app.statusText, "  CPM=0Failed to open COM2");
  PollCounterPort();
  EXPECT_EQ(app.statusText, "  CPM=0Failed to open COM2Failed to open COM2");
  sim::AttachPort(2);
  PollCounterPort();
  EXPECT_EQ(app.statusText, "Opened serial port COM2");
  EXPECT_EQ(sim::Port(2).written, kGreetingBytes + kGreetingBytes) << "greeted at each open";
}

TEST(SerialDrain, ASampleAcrossTheMinuteTickCountsInTheNewMinute) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, "\x80\x03\x80");
  PollCounterPort();
  MinuteTick();
  EXPECT_EQ(app.statusText, "  CPM=3");
  sim::FeedPort(2, "\x07");
  PollCounterPort();
  EXPECT_EQ(app.minuteCount, 7);
  EXPECT_EQ(app.decoderState, TwoByte);
  EXPECT_EQ(sim::StatusField(1), "      * 0x8007 CPM=7");
}

TEST(SerialDrain, AMinuteOfZeroSamplesReopensThePortUndecided) {
  StartWithPorts({2});
  RunTurns(1);
  sim::FeedPort(2, std::string("\x80\x00\x80\x00", 4));
  PollCounterPort();
  ASSERT_EQ(app.decoderState, TwoByte);
  MinuteTick();
  EXPECT_EQ(sim::Port(2).opens, 3);
  EXPECT_EQ(sim::Port(2).written, kGreetingBytes + kGreetingBytes);
  EXPECT_EQ(app.decoderState, Undecided);
  EXPECT_EQ(app.statusText, "Opened serial port COM2");
}

}  // namespace
