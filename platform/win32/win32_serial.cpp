// win32 backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

namespace platform {

// Serial ports

SerialPort SerialOpen(const std::string& name, const SerialSettings& settings) {
  (void)name; (void)settings;
  return nullptr;
}

bool SerialIsOpen(SerialPort port) {
  (void)port;
  return false;
}

int SerialBytesWaiting(SerialPort port) {
  (void)port;
  return 0;
}

int SerialRead(SerialPort port, unsigned char* buffer, int size) {
  (void)port; (void)buffer; (void)size;
  return 0;
}

int SerialWrite(SerialPort port, const unsigned char* bytes, int size) {
  (void)port; (void)bytes; (void)size;
  return 0;
}

void SerialRaiseDtr(SerialPort port) {
  (void)port;
}

void SerialRaiseRts(SerialPort port) {
  (void)port;
}

void SerialClose(SerialPort port) {
  (void)port;
}

}  // namespace platform
