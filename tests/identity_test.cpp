// The station identity and the client strings on the sim backend: the
// adapter selection rule, the sequential UUID fallback, the release names
// and the user agent.
#include "net/identity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"

namespace {

// A UUID whose bytes 12 to 15 are AB 01 CD 0F and whose other bytes differ.
void SetUuid(bool available) {
  unsigned char uuid[16];
  for (int i = 0; i < 16; ++i) uuid[i] = static_cast<unsigned char>(0x20 + i);
  uuid[12] = 0xAB;
  uuid[13] = 0x01;
  uuid[14] = 0xCD;
  uuid[15] = 0x0F;
  sim::SetSequentialUuid(uuid, available);
}

TEST(StationId, AdapterSelectionRule) {
  struct Case {
    const char* what;
    std::vector<std::string> addresses;
    const char* id;
  };
  const Case cases[] = {
      {"no address at all", {}, ""},
      {"an adapter without address, then lower case upper-cased",
       {"", "00:1a:2b:3c:4d:5e"},
       "2B3C4D5E"},
      {"other separators are kept", {"00-1A-2B-3C-4D-5E"}, "3C-4D-5E"},
      {"five characters are passed over", {"ab:cd"}, ""},
      {"six characters are enough", {"a:b:cd"}, "ABCD"},
      {"8A 00 is passed over", {"02:00:8A:00:12:34"}, ""},
      {"8A 00 passed over, the next adapter taken",
       {"02:00:8a:00:12:34", "00:11:22:33:44:55"},
       "22334455"},
      {"8A 00 only at the start of the last four bytes", {"8A:00:12:34:56:78"}, "12345678"},
      {"the first passing adapter wins",
       {"00:11:22:33:44:55", "66:77:88:99:AA:BB"},
       "22334455"},
      {"a short identity of four characters is replaced",
       {"1:2:3:4", "00:11:22:33:44:55"},
       "22334455"},
  };
  for (const Case& c : cases) {
    std::string id;
    SelectStationIdFromAddresses(c.addresses, &id);
    EXPECT_EQ(id, c.id) << c.what;
  }
}

TEST(StationId, OnlyTheFirst101AdaptersAreExamined) {
  std::vector<std::string> addresses(101, "");
  addresses.push_back("00:11:22:33:44:55");
  std::string id;
  SelectStationIdFromAddresses(addresses, &id);
  EXPECT_EQ(id, "") << "slot 102 is not used";

  addresses.erase(addresses.begin());
  id.clear();
  SelectStationIdFromAddresses(addresses, &id);
  EXPECT_EQ(id, "22334455") << "slot 101 is";
}

TEST(StationId, StartUpTakesTheAdapterAddress) {
  sim::Reset();
  SetUuid(true);
  std::vector<std::string> addresses(101, "");
  addresses.push_back("00:11:22:33:44:55");
  sim::SetAdapterAddresses(addresses);
  BuildStationId();
  EXPECT_EQ(sim::AdapterLimitAsked(), 101);
  EXPECT_EQ(app.stationId, "AB01CD0F") << "the adapter in slot 102 is not used";

  sim::Reset();
  SetUuid(true);
  sim::SetAdapterAddresses({"", "00:1a:2b:3c:4d:5e"});
  app.stationId.clear();
  BuildStationId();
  EXPECT_EQ(app.stationId, "2B3C4D5E") << "an adapter's address beats the UUID";
}

TEST(StationId, TheFallbackDecidesWhenNoAdapterPasses) {
  struct Case {
    const char* what;
    std::vector<std::string> addresses;
    bool uuidAvailable;
    const char* id;
  };
  const Case cases[] = {
      {"no adapters", {}, true, "AB01CD0F"},
      {"an address starting 8A 00", {"02:00:8A:00:12:34"}, true, "AB01CD0F"},
      {"the UUID's digits follow a short identity", {"1:2:3:4"}, true, "1234AB01CD0F"},
      {"no UUID: nothing", {"02:00:8A:00:12:34"}, false, ""},
      {"no UUID: the short identity stays", {"1:2:3:4"}, false, "1234"},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUuid(c.uuidAvailable);
    sim::SetAdapterAddresses(c.addresses);
    app.stationId.clear();
    BuildStationId();
    EXPECT_EQ(app.stationId, c.id) << c.what;
  }
}

TEST(StationId, StartUpFillsItFromTheDefaultUuid) {
  scenario::StartProgram();
  // The sim's default UUID carries the node 00:16:3E:12:34:56.
  EXPECT_EQ(app.stationId, "3E123456");
}

TEST(ClientStrings, ReleaseNamesAndTheUserAgent) {
  struct Case {
    int platformId, major, minor;
    const char* osName;
  };
  const Case cases[] = {
      {2, 6, 2, "8"},       {2, 10, 0, "2.10.0"}, {2, 5, 1, "XP"}, {1, 4, 0, "95"},
      {1, 4, 10, "98"},     {2, 3, 51, "NT 3.51"}, {2, 6, 3, "2.6.3"},
  };
  for (const Case& c : cases) {
    sim::Reset();
    sim::SetOsVersion(c.platformId, c.major, c.minor);
    app.userAgent = "left over";
    BuildClientStrings();
    EXPECT_EQ(app.osName, c.osName);
    EXPECT_EQ(app.userAgent,
              std::string("Mozilla/4.0 (Compatible; Sim 4.51; Windows ") + c.osName + ")");
  }
}

TEST(ClientStrings, StartUpOnTheDefaultSystem) {
  scenario::StartProgram();
  EXPECT_EQ(app.versionString, "1.1.3.1085");
  EXPECT_EQ(app.osName, "7");
  EXPECT_EQ(app.userAgent, "Mozilla/4.0 (Compatible; Sim 4.51; Windows 7)");
}

}  // namespace
