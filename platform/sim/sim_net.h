// Test-facing controls of the sim backend: system identity, digest and HTTP.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot: version
// 2.6.1, no adapters, a sequential UUID whose node is 00:16:3E:12:34:56, a
// working digest, an HTTP service that answers every request with 200 bytes.
void ResetNet();

void SetOsVersion(int platformId, int major, int minor);
// The adapters' hardware addresses as the system would list them.
void SetAdapterAddresses(const std::vector<std::string>& addresses);
// Limit the program asked AdapterAddresses for, -1 before it asked.
int AdapterLimitAsked();
// The sequential UUID the system gives; `available` false: none can be made.
void SetSequentialUuid(const unsigned char uuid[16], bool available);
void FailDigest(bool fail);

// HTTP. Every call the program makes is logged, in order, as one text:
// "session <agent>", "timeouts <ms>", "connect <host> <port>",
// "request <verb> <path>", "send", "read <bytes>", "close session",
// "close connection", "close request" — and "... failed" for a step that failed.
std::vector<std::string> HttpCalls();
// Make the named step ("session", "connect", "request" or "send") fail.
void FailHttpStep(const std::string& step, bool fail);
// The length of every answer.
void SetHttpAnswerLength(int bytes);

}  // namespace sim
