// sim backend: system identity, SHA-1 and HTTP, scripted and recorded.
//
// [x] version numbers, adapter addresses and the sequential UUID, settable
// [x] SHA-1 through OpenSSL, failable
// [x] HTTP session, connection, request, send and read, each logged and failable
#include "platform/sim/sim_net.h"

#include <openssl/sha.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/platform.h"

namespace platform {
struct HttpHandle {
  const char* kind;
  int answerLeft;
};
}  // namespace platform

namespace {

struct Net {
  std::mutex mutex;  // reports run on threads of their own
  int platformId = 2, major = 6, minor = 1;
  std::vector<std::string> adapters;
  int adapterLimit = -1;
  unsigned char uuid[16] = {};
  bool uuidAvailable = true;
  bool failDigest = false;
  std::vector<std::string> httpCalls;
  std::map<std::string, bool> failing;
  int answerLength = 200;
};

Net* net = new Net;  // never freed: report threads may outlive a test's scope

void SetDefaultUuid() {
  const unsigned char node[6] = {0x00, 0x16, 0x3E, 0x12, 0x34, 0x56};
  std::memset(net->uuid, 0x11, sizeof net->uuid);
  std::memcpy(net->uuid + 10, node, sizeof node);
}

platform::Http Step(const std::string& step, const std::string& call, const char* kind,
                    bool opens) {
  std::lock_guard<std::mutex> hold(net->mutex);
  if (net->failing[step]) {
    net->httpCalls.push_back(call + " failed");
    return nullptr;
  }
  net->httpCalls.push_back(call);
  return opens ? new platform::HttpHandle{kind, net->answerLength} : nullptr;
}

}  // namespace

namespace platform {

// System identity

void OsVersion(int* platformIdOut, int* majorOut, int* minorOut) {
  *platformIdOut = net->platformId;
  *majorOut = net->major;
  *minorOut = net->minor;
}

std::string ToolkitToken() {
  return "Sim";
}

std::vector<std::string> AdapterAddresses(int limit) {
  net->adapterLimit = limit;
  std::vector<std::string> addresses = net->adapters;
  if (static_cast<int>(addresses.size()) > limit) addresses.resize(static_cast<size_t>(limit));
  return addresses;
}

bool SequentialUuid(unsigned char uuidOut[16]) {
  if (!net->uuidAvailable) return false;
  std::memcpy(uuidOut, net->uuid, 16);
  return true;
}

// Digest

bool Sha1(const void* bytes, size_t size, unsigned char digestOut[20]) {
  if (net->failDigest) return false;
  SHA1(static_cast<const unsigned char*>(bytes), size, digestOut);
  return true;
}

// HTTP

Http HttpOpenSession(const std::string& agent) {
  return Step("session", "session " + agent, "session", true);
}

void HttpSetTimeouts(Http session, int ms) {
  (void)session;
  std::lock_guard<std::mutex> hold(net->mutex);
  net->httpCalls.push_back("timeouts " + std::to_string(ms));
}

Http HttpConnect(Http session, const std::string& host, int port) {
  (void)session;
  return Step("connect", "connect " + host + " " + std::to_string(port), "connection", true);
}

Http HttpOpenRequest(Http connection, const std::string& verb, const std::string& path) {
  (void)connection;
  return Step("request", "request " + verb + " " + path, "request", true);
}

bool HttpSendRequest(Http request) {
  (void)request;
  std::lock_guard<std::mutex> hold(net->mutex);
  bool fail = net->failing["send"];
  net->httpCalls.push_back(fail ? "send failed" : "send");
  return !fail;
}

int HttpReadAnswer(Http request, void* buffer, int size) {
  int n = request->answerLeft < size ? request->answerLeft : size;
  std::memset(buffer, 'x', static_cast<size_t>(n));
  request->answerLeft -= n;
  std::lock_guard<std::mutex> hold(net->mutex);
  net->httpCalls.push_back("read " + std::to_string(n));
  return n;
}

void HttpClose(Http handle) {
  if (handle == nullptr) return;
  {
    std::lock_guard<std::mutex> hold(net->mutex);
    net->httpCalls.push_back(std::string("close ") + handle->kind);
  }
  delete handle;
}

}  // namespace platform

namespace sim {

void ResetNet() {
  std::lock_guard<std::mutex> hold(net->mutex);
  net->platformId = 2;
  net->major = 6;
  net->minor = 1;
  net->adapters.clear();
  net->adapterLimit = -1;
  SetDefaultUuid();
  net->uuidAvailable = true;
  net->failDigest = false;
  net->httpCalls.clear();
  net->failing.clear();
  net->answerLength = 200;
}

void SetOsVersion(int platformId, int major, int minor) {
  net->platformId = platformId;
  net->major = major;
  net->minor = minor;
}

void SetAdapterAddresses(const std::vector<std::string>& addresses) {
  net->adapters = addresses;
}

int AdapterLimitAsked() {
  return net->adapterLimit;
}

void SetSequentialUuid(const unsigned char uuid[16], bool available) {
  std::memcpy(net->uuid, uuid, 16);
  net->uuidAvailable = available;
}

void FailDigest(bool fail) {
  net->failDigest = fail;
}

std::vector<std::string> HttpCalls() {
  std::lock_guard<std::mutex> hold(net->mutex);
  return net->httpCalls;
}

void FailHttpStep(const std::string& step, bool fail) {
  std::lock_guard<std::mutex> hold(net->mutex);
  net->failing[step] = fail;
}

void SetHttpAnswerLength(int bytes) {
  std::lock_guard<std::mutex> hold(net->mutex);
  net->answerLength = bytes;
}

}  // namespace sim
