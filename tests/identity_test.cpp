// Station identity and client strings on the sim backend.
#include "net/identity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/sim/sim.h"

namespace {

TEST(StationId, TheSelectionRule) {
  struct Case {
    const char* what;
    std::vector<std::string> addresses;
    const char* id;
  };
  const Case cases[] = {
      {"lower case is upper-cased", {"", "00:1a:2b:3c:4d:5e"}, "2B3C4D5E"},
      {"other separators are kept", {"00-1A-2B-3C-4D-5E"}, "3C-4D-5E"},
      {"five characters or fewer are passed over", {"1:2:3", "00:11:22:33:44:55"}, "22334455"},
      {"an address starting 8A 00 is passed over", {"02:00:8A:00:12:34"}, ""},
      {"8A 00 passed over, the next adapter tried",
       {"02:00:8A:00:12:34", "00:11:22:33:44:55"},
       "22334455"},
      {"the first passing adapter wins", {"00:11:22:33:44:55", "66:77:88:99:AA:BB"}, "22334455"},
  };
  for (const Case& c : cases) {
    std::string id;
    SelectStationIdFromAddresses(c.addresses, &id);
    EXPECT_EQ(id, c.id) << c.what;
  }
  std::vector<std::string> many(101, "");
  many.push_back("00:11:22:33:44:55");
  std::string id;
  SelectStationIdFromAddresses(many, &id);
  EXPECT_EQ(id, "") << "only 101 adapters are examined";
}

TEST(StationId, StartUpTakesTheFirstUsableAdapter) {
  sim::Reset();
  sim::SetAdapterAddresses({"", "00:1a:2b:3c:4d:5e"});
  RunStartup();
  EXPECT_EQ(sim::AdapterLimitAsked(), 101);
  EXPECT_EQ(app.stationId, "2B3C4D5E");
}

TEST(StationId, FallsBackToTheSequentialUuid) {
  sim::Reset();
  sim::SetAdapterAddresses({"02:00:8A:00:12:34"});
  RunStartup();
  EXPECT_EQ(app.stationId, "3E123456");  // bytes 12 to 15 of the UUID

  sim::Reset();
  unsigned char uuid[16] = {};
  sim::SetSequentialUuid(uuid, false);
  RunStartup();
  EXPECT_EQ(app.stationId, "") << "no adapter and no UUID: nothing";
}

TEST(ClientStrings, VersionOsNameAndUserAgent) {
  struct Case {
    int platformId, major, minor;
    const char* osName;
  };
  const Case cases[] = {{2, 5, 1, "XP"}, {2, 6, 2, "8"}, {2, 10, 0, "2.10.0"}, {1, 4, 90, "ME"}};
  for (const Case& c : cases) {
    sim::Reset();
    sim::SetOsVersion(c.platformId, c.major, c.minor);
    BuildClientStrings();
    EXPECT_EQ(app.versionString, "1.1.3.1085");
    EXPECT_EQ(app.osName, c.osName);
    EXPECT_EQ(app.userAgent,
              std::string("Mozilla/4.0 (Compatible; Sim 4.51; Windows ") + c.osName + ")");
  }
}

}  // namespace
