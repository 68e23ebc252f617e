// The counter's serial port: scan, open, poll, reopen, choose, modem check.
#pragma once

#include <string>

// "ATZ\r<HEARTBEAT1>>", written once after each successful open.
extern const char kCounterGreeting[];
constexpr int kCounterGreetingSize = 17;

// Tries COM1 to COM256 while the "Serial Port" submenu is being built, lists
// the ports that open and chooses the first.
void ScanSerialPorts();
// Decodes every byte waiting on the open port, or tries to open the chosen one.
void PollCounterPort();
// Opens the chosen port with the counter's settings and greets the counter.
void OpenCounterPort();
// Closes the port if it is open, then opens the chosen one again.
void ReopenCounterPort();
// Makes port `n` (1 to 256) the chosen port and reopens.
void SelectCounterPort(int n);
// Reads what is waiting and gives the port up when a modem answered "OK".
void CheckModemReply();
void RejectModemPort();
// stationId + "." + n.
std::string ComposeNetworkId(int n);
