// Placeholder definitions, replaced by the real ones.
#include "net/push_report.h"

std::string PushPath(const std::string& networkId, const std::string& version, int32_t count) {
  (void)networkId;
  (void)version;
  (void)count;
  return {};
}

void PushReport(int32_t count, const std::string& networkId, const std::string& version, const std::string& userAgent) {
  (void)count;
  (void)networkId;
  (void)version;
  (void)userAgent;
}

bool StartPushReport(int32_t count) {
  (void)count;
  return false;
}
