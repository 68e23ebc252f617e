#include "net/push_report.h"

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/platform.h"

namespace {

constexpr int kPushPort = 80;
// Connect, send and receive each give up after 30 s. A report is worthless
// once the next minute's has started, and a host that accepts connections
// but never answers would otherwise keep one thread per minute forever;
// with this limit a stuck report ends within about a minute and a half, so
// no more than two or three are ever in flight. 30 s is still ample for a
// slow line.
constexpr int kReportTimeoutMs = 30000;
constexpr int kReadPiece = 1024;

struct PushJob {
  int32_t count;
  std::string networkId, version, userAgent;
};

void RunPushJob(void* argument) {
  PushJob* job = static_cast<PushJob*>(argument);
  PushReport(job->count, job->networkId, job->version, job->userAgent);
  delete job;
}

}  // namespace

std::string PushPath(const std::string& networkId, const std::string& version, int32_t count) {
  return "/push.php?id=" + networkId + "&v=w32_" + version + "&c=" + std::to_string(count);
}

void PushReport(int32_t count, const std::string& networkId, const std::string& version,
                const std::string& userAgent) {
  platform::Http session = platform::HttpOpenSession(userAgent);
  if (session == nullptr) return;
  platform::HttpSetTimeouts(session, kReportTimeoutMs);
  platform::Http connection = platform::HttpConnect(session, kPushHost, kPushPort);
  if (connection == nullptr) {
    platform::HttpClose(session);
    return;
  }
  platform::Http request =
      platform::HttpOpenRequest(connection, "GET", PushPath(networkId, version, count));
  if (request == nullptr) {
    platform::HttpClose(connection);
    platform::HttpClose(session);
    return;
  }
  if (platform::HttpSendRequest(request)) {
    // The answer is read to its end and dropped: the service's reply means
    // nothing to the station.
    char piece[kReadPiece];
    while (platform::HttpReadAnswer(request, piece, kReadPiece) > 0) {
    }
  }
  platform::HttpClose(request);
  platform::HttpClose(connection);
  platform::HttpClose(session);
}

bool StartPushReport(int32_t count) {
  PushJob* job = new PushJob{count, app.networkId, app.versionString, app.userAgent};
  if (platform::StartThread(RunPushJob, job)) return true;
  delete job;
  return false;
}
