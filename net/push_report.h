// The per-minute report to the service's push host.
#pragma once

#include <cstdint>
#include <string>

// The request path of one report.
std::string PushPath(const std::string& networkId, const std::string& version, int32_t count);
// Sends one report; runs on a worker thread with its own copies of the texts.
void PushReport(int32_t count, const std::string& networkId, const std::string& version,
                const std::string& userAgent);
// Starts PushReport on a new thread with copies of the current texts; false
// when the thread could not be started.
bool StartPushReport(int32_t count);
