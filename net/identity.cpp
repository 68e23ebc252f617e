#include "net/identity.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "platform/platform.h"

namespace {

// At most this many adapter configurations are looked at.
constexpr int kAdapterSlots = 101;

struct OsRelease {
  const char* key;
  const char* name;
};

constexpr OsRelease kOsReleases[] = {
    {"1.4.0", "95"},     {"1.4.10", "98"},  {"1.4.90", "ME"}, {"2.3.51", "NT 3.51"},
    {"2.4.0", "NT 4.0"}, {"2.5.0", "2000"}, {"2.5.1", "XP"},  {"2.5.2", "2003"},
    {"2.6.0", "Vista"},  {"2.6.1", "7"},    {"2.6.2", "8"},
};

std::string HexByte(unsigned char byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

}  // namespace

void BuildVersionString() {
  app.versionString = "1.1." + std::to_string(3) + "." + std::to_string(1085);
}

void BeginUserAgent() {
  char version[16];
  std::snprintf(version, sizeof version, "%.2f", 4.51);
  app.userAgent = "Mozilla/4.0 (Compatible; " + platform::ToolkitToken() + " " + version;
}

std::string OsNameForKey(const std::string& key) {
  for (const OsRelease& release : kOsReleases) {
    if (key == release.key) return release.name;
  }
  return key;
}

void CompleteUserAgent() {
  int platformId = 0, major = 0, minor = 0;
  platform::OsVersion(&platformId, &major, &minor);
  std::string key =
      std::to_string(platformId) + "." + std::to_string(major) + "." + std::to_string(minor);
  app.osName = OsNameForKey(key);
  app.userAgent += "; Windows " + app.osName + ")";
}

void BuildClientStrings() {
  BuildVersionString();
  BeginUserAgent();
  CompleteUserAgent();
}

void SelectStationIdFromAddresses(const std::vector<std::string>& addresses,
                                  std::string* stationId) {
  int examined = 0;
  for (const std::string& address : addresses) {
    if (examined++ == kAdapterSlots) break;
    if (address.size() < 6 || stationId->size() > 4) continue;
    std::string t;
    for (char c : address) {
      if (c != ':') t += c;
    }
    if (t.size() > 8) t = t.substr(t.size() - 8);
    for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // Addresses whose last four bytes start with 8A 00 name no real adapter.
    if (t.compare(0, 4, "8A00") != 0) *stationId = t;
  }
}

void BuildStationId() {
  SelectStationIdFromAddresses(platform::AdapterAddresses(kAdapterSlots), &app.stationId);
  if (app.stationId.size() >= 5) return;
  unsigned char uuid[16] = {};
  if (!platform::SequentialUuid(uuid)) return;
  // The last four bytes of the node field: the same digits an adapter's
  // address would have given.
  for (int i = 12; i < 16; ++i) app.stationId += HexByte(uuid[i]);
}
