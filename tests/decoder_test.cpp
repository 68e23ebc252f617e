// The count decoder: its rules, the worked examples with their live texts,
// and the text built once per drain matching what per-byte showing leaves.
#include "device/decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"

namespace {

// The program as right after a successful open, with no port behind it:
// a modem check finds nothing waiting.
void StartJustOpened() {
  scenario::StartProgram();
  app.minuteCount = 0;
  app.decoderState = Undecided;
  app.pendingMarker = 0;
}

// Decodes `bytes` one at a time, showing the text after each, and returns
// the texts shown, in order.
std::vector<std::string> DecodeShowingEach(const std::vector<uint8_t>& bytes) {
  const size_t before = sim::StatusFieldHistory(1).size();
  for (uint8_t b : bytes) {
    DecodeCounterByte(b);
    ShowDecoderText();
  }
  std::vector<std::string> shown = sim::StatusFieldHistory(1);
  return std::vector<std::string>(shown.begin() + static_cast<long>(before), shown.end());
}

struct Example {
  std::vector<uint8_t> bytes;
  std::vector<std::string> texts;
  int32_t count;
  int32_t state;
};

TEST(Decoder, WorkedExamplesShowTheirTextsAndEndInTheirStates) {
  const Example kExamples[] = {
      {{0x80, 0x03, 0x80, 0x00, 0xC0, 0x01},
       {" 0x80 CPM=0", "  * 0x8003 CPM=3", "  * 0x80 CPM=3", "  * 0x8000 CPM=3", "  * 0x80 CPM=3",
        "   * 0x8001 CPM=4"},
       4,
       TwoByte},
      {{0xFF, 0xFF, 0x00}, {"* 0xFF CPM=1", " * 0xFF CPM=2", "  * 0x00 CPM=3"}, 3, PerByte},
      {{0x31, 0x31}, {" * 0x31 CPM=2", "   * 0x31 CPM=4"}, 4, PerByte},
      {{0x80, 0xC5, 0x80, 0x02},
       {" 0x80 CPM=0", " * 0xC5CPM=2", "  * 0x80 CPM=3", "    * 0x02 CPM=5"},
       5,
       PerByte},
      {{0x80, 0x03, 0x17, 0x80, 0x02},
       {" 0x80 CPM=0", "  * 0x8003 CPM=3", "    * 0x17 CPM=5", "     * 0x80 CPM=6",
        "       * 0x02 CPM=8"},
       8,
       PerByte},
      // No port is open, so the modem check finds nothing and 0x0A is counted.
      {{0x0D, 0x0A}, {" * 0x0A CPM=2"}, 2, PerByte},
  };
  for (const Example& e : kExamples) {
    SCOPED_TRACE(::testing::PrintToString(e.bytes));
    StartJustOpened();
    EXPECT_EQ(DecodeShowingEach(e.bytes), e.texts);
    EXPECT_EQ(app.minuteCount, e.count);
    EXPECT_EQ(app.decoderState, e.state);
    EXPECT_EQ(app.pendingMarker, 0);
  }
}

struct EdgeCase {
  const char* what;
  int32_t startState;
  int32_t startCount;
  uint8_t startMarker;
  std::vector<uint8_t> bytes;
  std::vector<std::string> texts;
  int32_t count;
  int32_t state;
  uint8_t marker;
};

TEST(Decoder, EdgeCases) {
  const EdgeCase kCases[] = {
      {"0xC0 opens a sample and shows as 0x80",
       Undecided,
       0,
       0,
       {0xC0, 0x05},
       {" 0x80 CPM=0", "    * 0x8005 CPM=5"},
       5,
       TwoByte,
       0},
      {"a value of 0 decides TwoByte and adds nothing",
       Undecided,
       0,
       0,
       {0x80, 0x00},
       {" 0x80 CPM=0", " 0x8000 CPM=0"},
       0,
       TwoByte,
       0},
      {"marker then 0x80 adds 2 and stays PerByte",
       Undecided,
       0,
       0,
       {0x80, 0x80, 0x80, 0x02},
       {" 0x80 CPM=0", " * 0x80CPM=2", "  * 0x80 CPM=3", "    * 0x02 CPM=5"},
       5,
       PerByte,
       0},
      {"a marker in TwoByte waits for its value",
       TwoByte,
       7,
       0,
       {0xC0},
       {"      * 0x80 CPM=7"},
       7,
       TwoByte,
       0xC0},
      {"a stray byte in TwoByte switches to PerByte",
       TwoByte,
       3,
       0,
       {0x17, 0x80, 0x02},
       {"    * 0x17 CPM=5", "     * 0x80 CPM=6", "       * 0x02 CPM=8"},
       8,
       PerByte,
       0},
      {"A, O and CR count nothing while Undecided", Undecided, 0, 0, {0x41}, {}, 0, PerByte, 0},
      {"A, O and CR are ordinary in PerByte",
       PerByte,
       1,
       0,
       {0x41, 0x4F, 0x0D},
       {"  * 0x41 CPM=3", "    * 0x4F CPM=5", "      * 0x0D CPM=7"},
       7,
       PerByte,
       0},
      {"in TwoByte a CR is the value of an open sample",
       TwoByte,
       2,
       0x80,
       {0x0D},
       {"              * 0x800D CPM=15"},
       15,
       TwoByte,
       0},
      {"the modem watch wins over a pending marker, which then has no effect",
       Undecided,
       0,
       0,
       {0x80, 0x0D, 0x05},
       {" 0x80 CPM=0", " * 0x05 CPM=2"},
       2,
       PerByte,
       0x80},
      {"a marker left over from the last open takes the first value",
       Undecided,
       0,
       0x80,
       {0x09},
       {"        * 0x8009 CPM=9"},
       9,
       TwoByte,
       0},
      {"a marker in PerByte counts 1", PerByte, 0, 0, {0xC0}, {"* 0xC0 CPM=1"}, 1, PerByte, 0},
  };
  for (const EdgeCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StartJustOpened();
    app.decoderState = c.startState;
    app.minuteCount = c.startCount;
    app.pendingMarker = c.startMarker;
    EXPECT_EQ(DecodeShowingEach(c.bytes), c.texts);
    EXPECT_EQ(app.minuteCount, c.count);
    EXPECT_EQ(app.decoderState, c.state);
    EXPECT_EQ(app.pendingMarker, c.marker);
  }
}

TEST(Decoder, TheStarStandsInTheColumnOfTheCount) {
  StartJustOpened();
  for (int i = 0; i < 300; ++i) DecodeCounterByte(0xFF);
  DecodeCounterByte(0x33);
  ShowDecoderText();
  EXPECT_EQ(sim::StatusField(1), std::string(301, ' ') + "* 0x33 CPM=302");
  EXPECT_EQ(app.statusText, "Initializing... NetworkID =   Well I did initialize....");
}

TEST(Decoder, NothingIsShownWhenNoByteCalledForAText) {
  StartJustOpened();
  ShowDecoderText();
  DecodeCounterByte(0x4F);  // the modem watch shows nothing
  ShowDecoderText();
  EXPECT_EQ(sim::StatusFieldHistory(1).size(), 1u);  // the start-up text only
}

// One text per drain must be exactly the text the drain's last counted byte
// would have left with per-byte showing, and counts and states must agree.
TEST(Decoder, TheTextOfADrainIsTheOnePerByteShowingWouldLeave) {
  std::mt19937 random(20140221);
  // Bytes chosen so that every rule and state is visited often.
  const uint8_t kAlphabet[] = {0x80, 0xC0, 0x00, 0x01, 0x7F, 0x80, 0xC0, 0x05,
                               0xFF, 0x0D, 0x41, 0x4F, 0x17, 0x80, 0x03, 0x90};
  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> bytes(random() % 200);
    for (uint8_t& b : bytes) b = kAlphabet[random() % sizeof kAlphabet];
    std::vector<size_t> drainEnds;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (random() % 5 == 0 || i + 1 == bytes.size()) drainEnds.push_back(i);
    }
    const int32_t startState = round % 3 == 0 ? TwoByte : Undecided;

    StartJustOpened();
    app.decoderState = startState;
    std::vector<std::string> perByte;  // what field 1 reads after each byte
    std::vector<int32_t> counts, states;
    for (uint8_t b : bytes) {
      DecodeCounterByte(b);
      ShowDecoderText();
      perByte.push_back(sim::StatusField(1));
      counts.push_back(app.minuteCount);
      states.push_back(app.decoderState);
    }

    StartJustOpened();
    app.decoderState = startState;
    size_t next = 0;
    for (size_t end : drainEnds) {
      for (; next <= end; ++next) DecodeCounterByte(bytes[next]);
      ShowDecoderText();
      SCOPED_TRACE(::testing::PrintToString(bytes) + " drain to " + std::to_string(end));
      ASSERT_EQ(sim::StatusField(1), perByte[end]);
      ASSERT_EQ(app.minuteCount, counts[end]);
      ASSERT_EQ(app.decoderState, states[end]);
    }
  }
}

}  // namespace
