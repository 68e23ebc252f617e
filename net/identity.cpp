// Placeholder definitions, replaced by the real ones.
#include "net/identity.h"

void BuildVersionString() {
}

void BeginUserAgent() {
}

void CompleteUserAgent() {
}

void BuildClientStrings() {
}

std::string OsNameForKey(const std::string& key) {
  (void)key;
  return {};
}

void BuildStationId() {
}

void SelectStationIdFromAddresses(const std::vector<std::string>& addresses, std::string* stationId) {
  (void)addresses;
  (void)stationId;
}
