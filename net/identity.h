// The station's identity and the client strings sent to the service.
#pragma once

#include <string>
#include <vector>

// versionString, osName and userAgent, in the three steps start-up takes.
void BuildVersionString();
void BeginUserAgent();
void CompleteUserAgent();
void BuildClientStrings();
// The release name for a version key ("2.5.1" gives "XP"); the key when unknown.
std::string OsNameForKey(const std::string& key);
void BuildStationId();
// Applies the adapter selection rule to `addresses` on top of `stationId`.
void SelectStationIdFromAddresses(const std::vector<std::string>& addresses,
                                  std::string* stationId);
