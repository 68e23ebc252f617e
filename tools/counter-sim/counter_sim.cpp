// counter-sim: plays a Geiger counter on a pseudo-terminal, for the demo and
// the end-to-end checks.
//
//   counter-sim --link PATH [options]     makes a pty and links PATH to it
//   counter-sim --device PATH [options]   plays on an existing tty
//
//   --framing pulse|samples  pulse: one byte 0xFF per pulse (default);
//                            samples: every second a marker and that second's count
//   --marker 0x80|0xC0       the samples' marker byte (default 0x80)
//   --cpm N                  a mean of N counts per minute, Poisson timing (default 30)
//   --seed S                 seed of the Poisson timing (default 1: runs repeat)
//   --script A,B,C           exactly A, B, C counts in the first minutes, then silence
//   --minute-ms MS           length of a minute (default 60000)
//   --burst                  send each scripted minute's counts at once, in its
//                            middle, so a listener's minutes need not line up exactly
//   --rate B                 B pulse bytes per second, flat out
//   --start-after-greeting   send nothing until the program's greeting arrived
//   --modem ok|echo          answer the greeting like a modem ("echo" repeats
//                            "ATZ" first) and send nothing else
//   --silent                 never send
//   --hangup-after SEC       close the line and remove the link after SEC seconds
//   --log FILE               appends "<ms> rx <hex>", "<ms> tx <n> bytes" and
//                            "<ms> minute <k> sent <pulses> pulses" lines
//
// Minutes count from the start, or from the greeting with
// --start-after-greeting. The log is flushed at every line, so a test can
// read the truth while the tool runs.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string link, device, log;
  bool samples = false;
  unsigned char marker = 0x80;
  double cpm = 30;
  unsigned seed = 1;
  std::vector<int> script;
  bool scripted = false;
  bool burst = false;
  long minuteMs = 60000;
  long rate = 0;
  bool afterGreeting = false;
  std::string modem;
  bool silent = false;
  long hangupAfter = -1;
};

volatile sig_atomic_t stopping = 0;
FILE* logFile = nullptr;
long long startMs = 0;

long long NowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

void Log(const std::string& line) {
  if (logFile == nullptr) return;
  std::fprintf(logFile, "%lld %s\n", NowMs() - startMs, line.c_str());
  std::fflush(logFile);
}

bool ParseOptions(int argc, char** argv, Options* out) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= argc) return false;
      *v = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--link" && value(&out->link)) continue;
    if (a == "--device" && value(&out->device)) continue;
    if (a == "--log" && value(&out->log)) continue;
    if (a == "--modem" && value(&out->modem)) continue;
    if (a == "--framing" && value(&v)) {
      out->samples = v == "samples";
    } else if (a == "--marker" && value(&v)) {
      out->marker = static_cast<unsigned char>(std::strtol(v.c_str(), nullptr, 0));
    } else if (a == "--cpm" && value(&v)) {
      out->cpm = std::atof(v.c_str());
    } else if (a == "--seed" && value(&v)) {
      out->seed = static_cast<unsigned>(std::atol(v.c_str()));
    } else if (a == "--script" && value(&v)) {
      out->scripted = true;
      for (const char* p = v.c_str(); *p != '\0';) {
        out->script.push_back(std::atoi(p));
        const char* comma = std::strchr(p, ',');
        p = comma == nullptr ? p + std::strlen(p) : comma + 1;
      }
    } else if (a == "--minute-ms" && value(&v)) {
      out->minuteMs = std::atol(v.c_str());
    } else if (a == "--rate" && value(&v)) {
      out->rate = std::atol(v.c_str());
    } else if (a == "--burst") {
      out->burst = true;
    } else if (a == "--start-after-greeting") {
      out->afterGreeting = true;
    } else if (a == "--silent") {
      out->silent = true;
    } else if (a == "--hangup-after" && value(&v)) {
      out->hangupAfter = std::atol(v.c_str());
    } else {
      std::fprintf(stderr, "counter-sim: bad option %s\n", a.c_str());
      return false;
    }
  }
  return !out->link.empty() || !out->device.empty();
}

void MakeRaw(int fd) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return;
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
}

// Opens the line: a new pty whose other end is linked at `link` (the other
// end stays open here too, so the line does not hang up when the program
// closes it), or an existing tty.
int OpenLine(const Options& o, int* keepOut) {
  *keepOut = -1;
  if (!o.device.empty()) {
    int fd = open(o.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) MakeRaw(fd);
    return fd;
  }
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  const char* name = ptsname(master);
  if (name == nullptr) return -1;
  *keepOut = open(name, O_RDWR | O_NOCTTY);
  if (*keepOut >= 0) MakeRaw(*keepOut);
  MakeRaw(master);
  unlink(o.link.c_str());
  if (symlink(name, o.link.c_str()) != 0) return -1;
  return master;
}

void Send(int fd, const std::string& bytes, long long* sentOut) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 50);
      if (stopping) return;
    }
  }
  *sentOut += static_cast<long long>(bytes.size());
}

std::string Hex(const unsigned char* bytes, ssize_t n) {
  std::string text;
  char two[4];
  for (ssize_t i = 0; i < n; ++i) {
    std::snprintf(two, sizeof two, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += two;
  }
  return text;
}

void OnSignal(int) {
  stopping = 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr, "usage: counter-sim --link PATH | --device PATH [options]\n");
    return 2;
  }
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGPIPE, SIG_IGN);
  startMs = NowMs();
  if (!o.log.empty()) logFile = std::fopen(o.log.c_str(), "a");
  int keep = -1;
  int fd = OpenLine(o, &keep);
  if (fd < 0) {
    std::perror("counter-sim: opening the line");
    return 1;
  }

  const std::string greeting = "ATZ\r<HEARTBEAT1>>";
  std::string received;
  bool greeted = false;
  std::mt19937 random(o.seed);
  std::exponential_distribution<double> gap(o.cpm > 0 ? o.cpm / o.minuteMs : 1.0);

  long long minuteStart = o.afterGreeting ? -1 : NowMs();
  int minute = 0;
  long long pulsesThisMinute = 0, sentBytes = 0, loggedBytes = 0, lastTxLog = NowMs();
  double nextPulse = 0;  // ms into the minute of the next Poisson pulse
  int secondPulses = 0, carried = 0;
  long long lastSecond = 0;
  long long nextRateMs = NowMs();

  while (!stopping) {
    long long now = NowMs();
    if (o.hangupAfter >= 0 && now - startMs >= o.hangupAfter * 1000) {
      Log("hangup");
      break;
    }
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 5);
    unsigned char in[512];
    ssize_t n = read(fd, in, sizeof in);
    if (n > 0) {
      Log("rx " + Hex(in, n));
      received.append(reinterpret_cast<char*>(in), static_cast<size_t>(n));
      if (!o.modem.empty()) {
        for (size_t at; (at = received.find("ATZ\r")) != std::string::npos;) {
          received.erase(0, at + 4);
          Send(fd, o.modem == "echo" ? "ATZ\r\r\nOK\r\n" : "\r\nOK\r\n", &sentBytes);
        }
      }
      if (!greeted && received.find(greeting) != std::string::npos) {
        greeted = true;
        Log("greeting");
        if (o.afterGreeting) minuteStart = NowMs();
      }
    }
    if (o.silent || !o.modem.empty() || minuteStart < 0) continue;
    now = NowMs();

    std::string out;
    if (o.rate > 0) {
      long long due = (now - nextRateMs) * o.rate / 1000;
      if (due > 0) {
        out.assign(static_cast<size_t>(due), '\xFF');
        nextRateMs += due * 1000 / o.rate;
        pulsesThisMinute += due;
      }
    } else {
      double into = static_cast<double>(now - minuteStart);
      int target = 0;
      if (o.scripted) {
        target = minute < static_cast<int>(o.script.size()) ? o.script[minute] : 0;
        // The minute's counts spread evenly over it.
        long long dueByNow =
            o.burst
                ? (into >= o.minuteMs / 2 ? target : 0)
                : static_cast<long long>(target * std::min(into, double(o.minuteMs)) / o.minuteMs);
        for (; pulsesThisMinute < dueByNow; ++pulsesThisMinute) ++secondPulses;
      } else {
        while (nextPulse <= into && nextPulse < o.minuteMs) {
          ++secondPulses;
          ++pulsesThisMinute;
          nextPulse += gap(random);
        }
      }
      if (!o.samples) {
        out.assign(static_cast<size_t>(secondPulses), '\xFF');
        secondPulses = 0;
      }
    }
    if (o.samples && now - lastSecond >= 1000) {
      lastSecond = now;
      int value = secondPulses + carried;
      carried = value > 127 ? value - 127 : 0;
      out += static_cast<char>(o.marker);
      out += static_cast<char>(value > 127 ? 127 : value);
      secondPulses = 0;
    }
    if (!out.empty()) Send(fd, out, &sentBytes);
    if (sentBytes != loggedBytes && now - lastTxLog >= 1000) {
      Log("tx " + std::to_string(sentBytes - loggedBytes) + " bytes");
      loggedBytes = sentBytes;
      lastTxLog = now;
    }
    if (now - minuteStart >= o.minuteMs) {
      Log("minute " + std::to_string(minute + 1) + " sent " + std::to_string(pulsesThisMinute) +
          " pulses");
      ++minute;
      minuteStart += o.minuteMs;
      pulsesThisMinute = 0;
      nextPulse = gap(random);
    }
  }
  if (sentBytes != loggedBytes) Log("tx " + std::to_string(sentBytes - loggedBytes) + " bytes");
  close(fd);
  if (keep >= 0) close(keep);
  if (!o.link.empty()) unlink(o.link.c_str());
  if (logFile != nullptr) std::fclose(logFile);
  return 0;
}
