// sim backend: serial ports COM1 to COM256 as in-memory byte queues, driven by
// the tests through sim_serial.h.
//
// [x] open by name, exclusive, with the settings recorded
// [x] ports plugged in and unplugged, ports held by another program
// [x] input queue fed by the test, answers to writes, failing reads
// [x] DTR and RTS, bytes written, a log of the calls in order
#include "platform/sim/sim_serial.h"

#include <cstdlib>
#include <deque>
#include <map>
#include <set>

namespace platform {

// A handle the program got from SerialOpen. Handles live until ResetSerial,
// so a stale pointer never meets a new handle at the same address.
struct SerialHandle {
  int port = 0;
  bool open = false;
  bool dead = false;  // the device was unplugged after the open
};

}  // namespace platform

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;

struct SimPort {
  sim::PortInfo info;
  std::deque<unsigned char> queue;
  std::string writeReply;
  int failReads = 0;
};

struct Serial {
  std::map<int, SimPort> ports;
  std::deque<platform::SerialHandle> handles;
  std::set<const platform::SerialHandle*> openHandles;
  std::vector<std::string> calls;
};

Serial serial;

// "COM7" -> 7; 0 for anything else.
int PortNumber(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name[3] == '0') return 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
  }
  if (name.size() > 6) return 0;
  int n = std::atoi(name.c_str() + 3);
  return n >= kFirstPort && n <= kLastPort ? n : 0;
}

std::string Name(int n) {
  return "COM" + std::to_string(n);
}

// The port behind a live open handle, or nullptr.
SimPort* LivePort(platform::SerialPort handle) {
  if (serial.openHandles.count(handle) == 0 || handle->dead) return nullptr;
  auto it = serial.ports.find(handle->port);
  return it == serial.ports.end() ? nullptr : &it->second;
}

}  // namespace

namespace platform {

SerialPort SerialOpen(const std::string& name, const SerialSettings& settings) {
  const int n = PortNumber(name);
  std::string call = "open " + name + " " + std::to_string(settings.baud) + " " +
                     std::to_string(settings.inputQueue) + " " +
                     std::to_string(settings.outputQueue);
  auto it = serial.ports.find(n);
  if (it == serial.ports.end() || !it->second.info.exists || it->second.info.held ||
      it->second.info.open) {
    serial.calls.push_back(call + " failed");
    return nullptr;
  }
  serial.calls.push_back(call);
  sim::PortInfo& info = it->second.info;
  info.open = true;
  ++info.opens;
  info.settings = settings;
  info.dtr = false;
  info.rts = false;
  serial.handles.push_back(SerialHandle{n, true, false});
  SerialHandle* handle = &serial.handles.back();
  serial.openHandles.insert(handle);
  return handle;
}

bool SerialIsOpen(SerialPort port) {
  return serial.openHandles.count(port) != 0;
}

int SerialBytesWaiting(SerialPort port) {
  SimPort* p = LivePort(port);
  return p == nullptr ? 0 : static_cast<int>(p->queue.size());
}

int SerialRead(SerialPort port, unsigned char* buffer, int size) {
  if (serial.openHandles.count(port) != 0) {
    auto it = serial.ports.find(port->port);
    if (it != serial.ports.end()) ++it->second.info.reads;
  }
  SimPort* p = LivePort(port);
  if (p == nullptr || size <= 0) return 0;
  if (p->failReads > 0) {
    --p->failReads;
    return 0;
  }
  int got = 0;
  while (got < size && !p->queue.empty()) {
    buffer[got++] = p->queue.front();
    p->queue.pop_front();
  }
  return got;
}

int SerialWrite(SerialPort port, const unsigned char* bytes, int size) {
  SimPort* p = LivePort(port);
  if (p == nullptr || size <= 0) return 0;
  serial.calls.push_back("write " + Name(port->port) + " " + std::to_string(size));
  p->info.written.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  p->queue.insert(p->queue.end(), p->writeReply.begin(), p->writeReply.end());
  return size;
}

void SerialRaiseDtr(SerialPort port) {
  SimPort* p = LivePort(port);
  if (p == nullptr) return;
  serial.calls.push_back("dtr " + Name(port->port));
  p->info.dtr = true;
}

void SerialRaiseRts(SerialPort port) {
  SimPort* p = LivePort(port);
  if (p == nullptr) return;
  serial.calls.push_back("rts " + Name(port->port));
  p->info.rts = true;
}

void SerialClose(SerialPort port) {
  if (serial.openHandles.erase(port) == 0) return;
  serial.calls.push_back("close " + Name(port->port));
  port->open = false;
  if (port->dead) return;
  auto it = serial.ports.find(port->port);
  if (it != serial.ports.end()) it->second.info.open = false;
}

}  // namespace platform

namespace sim {

void ResetSerial() {
  serial = Serial{};
}

void AttachPort(int n) {
  SimPort& p = serial.ports[n];
  if (p.info.exists) return;
  p.info.exists = true;
  p.info.open = false;
  p.queue.clear();
}

void DetachPort(int n) {
  auto it = serial.ports.find(n);
  if (it == serial.ports.end()) return;
  for (platform::SerialHandle& handle : serial.handles) {
    if (handle.port == n && handle.open) handle.dead = true;
  }
  it->second.info.exists = false;
  it->second.info.open = false;
  it->second.queue.clear();
}

void HoldPort(int n, bool held) {
  serial.ports[n].info.held = held;
}

void FeedPort(int n, const std::string& bytes) {
  auto it = serial.ports.find(n);
  if (it == serial.ports.end() || !it->second.info.exists) return;
  it->second.queue.insert(it->second.queue.end(), bytes.begin(), bytes.end());
}

void SetWriteReply(int n, const std::string& bytes) {
  serial.ports[n].writeReply = bytes;
}

void FailReads(int n, int count) {
  serial.ports[n].failReads = count;
}

PortInfo Port(int n) {
  auto it = serial.ports.find(n);
  if (it == serial.ports.end()) return PortInfo{};
  PortInfo info = it->second.info;
  info.waiting = static_cast<int>(it->second.queue.size());
  return info;
}

std::vector<std::string> SerialCalls() {
  return serial.calls;
}

}  // namespace sim
