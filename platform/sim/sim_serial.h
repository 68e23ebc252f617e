// Test-facing controls of the sim backend: serial ports.
//
// Ports COM1 to COM256 are byte queues. A port must be attached before it
// can be opened; what a test feeds waits in its input queue (which is not
// emptied by a close, as on a pty) until the program reads it.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

// Puts this part of the simulated system back to its state at boot: no ports.
void ResetSerial();

// COMn appears, as a device plugged in, with an empty input queue.
void AttachPort(int n);
// COMn vanishes, as a device unplugged: its queue is lost, opening fails and
// every call on a handle the program still holds fails (the handle itself
// stays open until the program closes it).
void DetachPort(int n);
// Another program holds COMn (true) or lets it go (false); opening a held
// port fails.
void HoldPort(int n, bool held);

// Appends bytes to COMn's input queue, as if the counter had sent them.
void FeedPort(int n, const std::string& bytes);
// After every write the program makes to COMn, `bytes` are appended to its
// input queue, as a modem answering the greeting would.
void SetWriteReply(int n, const std::string& bytes);
// The next `count` reads on COMn fail: they return 0 and take nothing.
void FailReads(int n, int count);

struct PortInfo {
  bool exists = false;
  bool held = false;
  bool open = false;                  // the program holds an open handle to it
  int opens = 0;                      // successful opens so far
  platform::SerialSettings settings;  // of the last successful open
  bool dtr = false, rts = false;      // raised since the last successful open
  std::string written;                // every byte the program wrote to it, in order
  int waiting = 0;                    // bytes in the input queue
  int reads = 0;                      // read calls, failed ones included
};
PortInfo Port(int n);

// The serial calls the program made, in order: "open COM2 1200 0 0" (baud,
// input and output queue), "open COM2 ... failed", "dtr COM2", "rts COM2",
// "write COM2 17" (bytes), "close COM2". Reads and queue queries are counted
// in PortInfo instead.
std::vector<std::string> SerialCalls();

}  // namespace sim
