#include "device/serial_connection.h"

#include <string>

#include "app/app_state.h"
#include "device/decoder.h"
#include "platform/platform.h"
#include "records/history.h"
#include "ui/main_window.h"

const char kCounterGreeting[] = "ATZ\r<HEARTBEAT1>>";

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;
constexpr int kScanBaud = 1200;
constexpr int kCounterQueueBytes = 1024;

// A driver that keeps reporting bytes it then fails to deliver would hold
// the drain, and with it the whole window, for ever; after this many empty
// reads in a row the drain ends and the next idle turn tries again.
constexpr int kEmptyReadsPerDrain = 64;

// Bytes taken from the driver in one read and not yet decoded. One read call
// per byte costs a trip through the system for every pulse; reading all that
// is waiting at once and decoding from here keeps the per-byte decoding and
// its order. To the modem check these bytes are still waiting, as they would
// be in the driver's queue. Emptied by every open, and by the modem check,
// which takes what it holds.
struct InputBuffer {
  unsigned char bytes[kCounterQueueBytes];
  int next = 0;
  int end = 0;

  int Held() const { return end - next; }
  void Clear() { next = end = 0; }
};

InputBuffer input;

// Bytes waiting for the decoder: those already read and those in the driver.
int BytesWaiting() {
  return input.Held() + platform::SerialBytesWaiting(app.serialPort);
}

// Refills the empty buffer with up to `waiting` bytes from the driver;
// false when the read delivered nothing.
bool FillInput(int waiting) {
  input.Clear();
  const int wanted = waiting < kCounterQueueBytes ? waiting : kCounterQueueBytes;
  const int got = platform::SerialRead(app.serialPort, input.bytes, wanted);
  if (got <= 0) return false;
  input.end = got;
  return true;
}

std::string PortName(int n) {
  return "COM" + std::to_string(n);
}

bool PortIsOpen() {
  return app.serialPort != nullptr && platform::SerialIsOpen(app.serialPort);
}

}  // namespace

std::string ComposeNetworkId(int n) {
  return app.stationId + "." + std::to_string(n);
}

void ScanSerialPorts() {
  platform::SerialSettings scan;
  scan.baud = kScanBaud;
  for (int n = kFirstPort; n <= kLastPort; ++n) {
    app.serialPort = platform::SerialOpen(PortName(n), scan);
    if (app.serialPort == nullptr) continue;
    AddMenuItem(n, PortName(n));
    if (app.selectedPort < 1) {
      SetMenuItemChecked(n, 1);
      app.selectedPort = static_cast<int16_t>(n);
      app.networkId = ComposeNetworkId(n);
    }
    platform::SerialClose(app.serialPort);
  }
  if (app.selectedPort < 1) AddMenuItem(kMenuNoPort, "");
  app.serialPort = nullptr;
}

void PollCounterPort() {
  if (!PortIsOpen()) {
    OpenCounterPort();
    return;
  }
  app.currentByte = 0;
  int emptyReads = 0;
  // The decoder may give the port up (a modem answered): the loop ends then
  // because serialPort is none.
  while (app.serialPort != nullptr) {
    if (input.Held() == 0) {
      const int waiting = platform::SerialBytesWaiting(app.serialPort);
      if (waiting <= 0) break;
      if (!FillInput(waiting)) {
        if (++emptyReads == kEmptyReadsPerDrain) break;
        continue;
      }
      emptyReads = 0;
    }
    app.currentByte = input.bytes[input.next++];
    DecodeCounterByte(app.currentByte);
  }
  // Nothing is repainted inside the drain, so the text of the last counted
  // byte is all the user could have seen of the per-byte texts.
  ShowDecoderText();
}

void OpenCounterPort() {
  if (app.selectedPort == 0) return;
  platform::SerialSettings counter;
  counter.baud = app.baudRate;
  counter.inputQueue = kCounterQueueBytes;
  counter.outputQueue = kCounterQueueBytes;
  app.serialPort = platform::SerialOpen(PortName(app.selectedPort), counter);
  input.Clear();
  if (app.serialPort == nullptr) {
    app.statusText += "Failed to open " + PortName(app.selectedPort);
    SetStatusBarText(1, app.statusText);
    return;
  }
  app.statusText = "Opened serial port " + PortName(app.selectedPort);
  platform::SerialRaiseDtr(app.serialPort);
  platform::SerialRaiseRts(app.serialPort);
  SetStatusBarText(1, app.statusText);
  app.minuteCount = 0;
  app.decoderState = Undecided;
  platform::SerialWrite(app.serialPort, reinterpret_cast<const unsigned char*>(kCounterGreeting),
                        kCounterGreetingSize);
  ReloadHistory();
}

void ReopenCounterPort() {
  if (PortIsOpen()) {
    platform::SerialClose(app.serialPort);
    app.serialPort = nullptr;
  }
  OpenCounterPort();
}

void SelectCounterPort(int n) {
  SetMenuItemChecked(app.selectedPort, 0);
  app.selectedPort = static_cast<int16_t>(n);
  SetMenuItemChecked(n, 1);
  app.networkId = ComposeNetworkId(n);
  SetMenuItemText(kMenuNetworkId, "Network ID " + app.networkId);
  ReopenCounterPort();
}

void CheckModemReply() {
  if (app.serialPort == nullptr) return;
  const int waiting = BytesWaiting();
  if (waiting <= 0) return;
  // What the drain has read but not decoded comes first, then the rest from
  // the driver; a short read leaves blanks, as the text starts as blanks.
  std::string reply(static_cast<size_t>(waiting), ' ');
  const int held = input.Held();
  reply.replace(0, static_cast<size_t>(held), reinterpret_cast<const char*>(input.bytes + input.next),
                static_cast<size_t>(held));
  input.Clear();
  if (waiting > held) {
    platform::SerialRead(app.serialPort, reinterpret_cast<unsigned char*>(&reply[held]),
                         waiting - held);
  }
  const size_t zero = reply.find('\0');
  if (zero != std::string::npos) reply.resize(zero);
  if (reply.find("OK") != std::string::npos) RejectModemPort();
}

void RejectModemPort() {
  platform::SerialClose(app.serialPort);
  app.serialPort = nullptr;
  // The rejection is shown in the middle of a drain: the text of the bytes
  // decoded before it goes first, so that this text is the last one shown.
  ShowDecoderText();
  app.statusText += " Error: Modem Detected!";
  SetStatusBarText(1, app.statusText);
  SetMenuItemChecked(app.selectedPort, 0);
  app.selectedPort = 0;
  app.networkId.clear();
  SetMenuItemText(kMenuNetworkId, "Network ID " + app.networkId);
}
