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
  while (app.serialPort != nullptr && platform::SerialBytesWaiting(app.serialPort) > 0) {
    if (platform::SerialRead(app.serialPort, &app.currentByte, 1) == 1) {
      emptyReads = 0;
      DecodeCounterByte(app.currentByte);
    } else if (++emptyReads == kEmptyReadsPerDrain) {
      break;
    }
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
  const int waiting = platform::SerialBytesWaiting(app.serialPort);
  if (waiting <= 0) return;
  std::string reply(static_cast<size_t>(waiting), ' ');
  platform::SerialRead(app.serialPort, reinterpret_cast<unsigned char*>(&reply[0]), waiting);
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
