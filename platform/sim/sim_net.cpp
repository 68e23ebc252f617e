// sim backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

#include "platform/sim/sim_net.h"

namespace platform {

// HTTP

Http HttpOpenSession(const std::string& agent) {
  (void)agent;
  return nullptr;
}

void HttpSetTimeouts(Http session, int ms) {
  (void)session; (void)ms;
}

Http HttpConnect(Http session, const std::string& host, int port) {
  (void)session; (void)host; (void)port;
  return nullptr;
}

Http HttpOpenRequest(Http connection, const std::string& verb, const std::string& path) {
  (void)connection; (void)verb; (void)path;
  return nullptr;
}

bool HttpSendRequest(Http request) {
  (void)request;
  return false;
}

int HttpReadAnswer(Http request, void* buffer, int size) {
  (void)request; (void)buffer; (void)size;
  return 0;
}

void HttpClose(Http handle) {
  (void)handle;
}

// System identity

void OsVersion(int* platformIdOut, int* majorOut, int* minorOut) {
  (void)platformIdOut; (void)majorOut; (void)minorOut;
}

std::string ToolkitToken() {
  return {};
}

std::vector<std::string> AdapterAddresses(int limit) {
  (void)limit;
  return {};
}

bool SequentialUuid(unsigned char uuidOut[16]) {
  (void)uuidOut;
  return false;
}

// Digest

bool Sha1(const void* bytes, size_t size, unsigned char digestOut[20]) {
  (void)bytes; (void)size; (void)digestOut;
  return false;
}

}  // namespace platform

namespace sim {

void ResetNet() {}

}  // namespace sim
