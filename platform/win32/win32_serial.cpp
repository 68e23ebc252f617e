// win32 backend: serial ports through the Windows communications API.
//
// [x] "\\.\COMn" opened exclusively for reading and writing, blocking
// [x] 8N1, no CTS flow control, RTS left to the program, the program's time-outs
// [x] driver queues set only when asked for
// [x] DTR and RTS raised with failures ignored
// [x] bytes waiting, one-byte reads, writes, close
#include <windows.h>

#include <set>

#include "platform/platform.h"

namespace platform {
struct SerialHandle {
  HANDLE handle;
};
}  // namespace platform

namespace {

constexpr size_t kMaxNameLength = 59;

// The handles this program opened and has not closed: "is this an open
// port" is answered from here, not by asking the device.
std::set<platform::SerialPort> openPorts;

bool Configure(HANDLE handle, const platform::SerialSettings& settings) {
  if (settings.inputQueue > 0 || settings.outputQueue > 0) {
    SetupComm(handle, static_cast<DWORD>(settings.inputQueue),
              static_cast<DWORD>(settings.outputQueue));
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return false;
  dcb.BaudRate = static_cast<DWORD>(settings.baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  // Whatever an earlier user of the port left set must not eat or alter the
  // counter's bytes: XON/XOFF would swallow 0x11 and 0x13, fNull every value
  // byte 0, and DSR sensitivity all input while DSR is low.
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fNull = FALSE;
  dcb.fErrorChar = FALSE;
  if (!SetCommState(handle, &dcb)) return false;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 100;
  timeouts.ReadTotalTimeoutMultiplier = 10;
  timeouts.ReadTotalTimeoutConstant = 100;
  timeouts.WriteTotalTimeoutMultiplier = 100;
  timeouts.WriteTotalTimeoutConstant = 10;
  return SetCommTimeouts(handle, &timeouts) != FALSE;
}

}  // namespace

namespace platform {

SerialPort SerialOpen(const std::string& name, const SerialSettings& settings) {
  // The device namespace reaches COM10 and above too; a longer name is never
  // a port of ours, and cutting it short could open some other device.
  if (name.size() > kMaxNameLength) return nullptr;
  const std::string path = "\\\\.\\" + name;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!Configure(handle, settings)) {
    CloseHandle(handle);
    return nullptr;
  }
  SerialPort port = new SerialHandle{handle};
  openPorts.insert(port);
  return port;
}

bool SerialIsOpen(SerialPort port) {
  return openPorts.count(port) != 0;
}

int SerialBytesWaiting(SerialPort port) {
  DWORD errors = 0;
  COMSTAT status{};
  if (!SerialIsOpen(port) || !ClearCommError(port->handle, &errors, &status)) return 0;
  return static_cast<int>(status.cbInQue);
}

int SerialRead(SerialPort port, unsigned char* buffer, int size) {
  DWORD read = 0;
  if (!SerialIsOpen(port) ||
      !ReadFile(port->handle, buffer, static_cast<DWORD>(size), &read, nullptr)) {
    return 0;
  }
  return static_cast<int>(read);
}

int SerialWrite(SerialPort port, const unsigned char* bytes, int size) {
  DWORD written = 0;
  if (!SerialIsOpen(port) ||
      !WriteFile(port->handle, bytes, static_cast<DWORD>(size), &written, nullptr)) {
    return 0;
  }
  return static_cast<int>(written);
}

void SerialRaiseDtr(SerialPort port) {
  if (SerialIsOpen(port)) EscapeCommFunction(port->handle, SETDTR);
}

void SerialRaiseRts(SerialPort port) {
  if (SerialIsOpen(port)) EscapeCommFunction(port->handle, SETRTS);
}

void SerialClose(SerialPort port) {
  if (!SerialIsOpen(port)) return;
  CloseHandle(port->handle);
  openPorts.erase(port);
  delete port;
}

}  // namespace platform
