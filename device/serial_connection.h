// The counter's serial port: scan, open, poll, reopen, choose, modem check.
#pragma once

#include <string>

// "ATZ\r<HEARTBEAT1>>", written once after each successful open.
extern const char kCounterGreeting[];
constexpr int kCounterGreetingSize = 17;

void ScanSerialPorts();
void PollCounterPort();
void OpenCounterPort();
void ReopenCounterPort();
void SelectCounterPort(int n);
void CheckModemReply();
void RejectModemPort();
std::string ComposeNetworkId(int n);
