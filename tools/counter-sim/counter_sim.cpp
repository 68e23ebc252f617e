// counter-sim: plays a Geiger counter on a pseudo-terminal (or an existing tty),
// for tests and demos.
//
// usage: counter-sim (--link PATH | --device PATH) [options]
//
//   --link PATH              make a pty and link PATH to its slave end (an old
//                            link there is replaced); the link goes at exit
//   --device PATH            play on an existing tty instead (e.g. one end of a
//                            socat pair)
//   --framing pulse|samples  pulse (default): one byte 0xFF per pulse;
//                            samples: every second a marker byte, then the count
//                            of that second (0..127, the excess is carried into
//                            the next second)
//   --marker 0x80|0xC0       the samples' marker byte (default 0x80)
//   --cpm N                  a mean of N counts per minute at Poisson times
//                            (the default, with N = 30)
//   --seed S                 seed of those times (default 1, so runs repeat)
//   --script A,B,...         exactly A, B, ... counts in minutes 1, 2, ...,
//                            spread evenly over each minute, then silence
//   --repeat                 play the script again and again instead
//   --burst                  send each scripted minute's counts at once, in its
//                            middle, so a listener's minutes need not line up
//   --minute-ms MS           length of a minute in ms (default 60000)
//   --rate B                 B pulse bytes per second, flat out, for load tests
//   --rate-window FROM,FOR   with --rate: the flat rate starts FROM seconds
//                            after the origin and lasts FOR seconds, then
//                            silence; "rate sent <n> pulses" is logged at its end
//   --prelude N              N pulse bytes at the origin, before anything else
//                            (counted in minute 1), so a listener's first
//                            counted minute can be a known one
//   --start-after-greeting   send no counts until "ATZ\r<HEARTBEAT1>>" arrived;
//                            minutes count from then
//   --greetings N            with --start-after-greeting: wait for the N-th
//                            greeting (a listener greets again after each
//                            reopen, e.g. after a minute without counts)
//   --modem ok|echo          be a modem: answer every "ATZ\r" with "\r\nOK\r\n"
//                            ("echo" repeats the "ATZ\r" first), send no counts
//   --silent                 never send anything
//   --hangup-after SEC       after SEC seconds close the line and remove the
//                            link, like a counter being unplugged, and exit
//   --log FILE               append lines "<ms since start> <event>": "rx <hex>"
//                            for every read, "greeting", "tx <n> bytes" (at most
//                            once a second), "minute <k> sent <pulses> pulses"
//                            at the end of every counted minute, and "hangup";
//                            every line is flushed at once, so a test can read
//                            the truth while the tool runs
//
// SIGINT and SIGTERM end the program cleanly (the link is removed).
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kGreeting[] = "ATZ\r<HEARTBEAT1>>";
const char kModemCommand[] = "ATZ\r";
const double kNever = HUGE_VAL;
// Pulse bytes wait here while nobody reads the line; past this, pulses are
// dropped (and not counted as sent), as a real line would lose them.
const size_t kQueueLimit = 64 * 1024;

enum Source { kPoisson, kScript, kRate };

struct Options {
  std::string link, device, log;
  bool samples = false;
  unsigned char marker = 0x80;
  Source source = kPoisson;
  double cpm = 30;
  uint32_t seed = 1;
  std::vector<long> script;
  bool repeat = false;
  bool burst = false;
  double minuteMs = 60000;
  double rate = 0;
  double rateFromMs = 0;
  double rateUntilMs = kNever;
  long prelude = 0;
  bool afterGreeting = false;
  long greetings = 1;
  std::string modem;
  bool silent = false;
  double hangupAfterMs = kNever;
};

// The pulses still to come and what has been counted, in ms from the origin
// (the start, or the greeting with --start-after-greeting).
struct Play {
  bool started = false;
  double originMs = 0;
  double pulseMs = kNever;
  long long pulseIndex = 0;    // within the scripted minute, or since the start
  long long scriptMinute = 0;  // 0-based minute the next scripted pulse is in
  uint32_t random[624];
  int randomAt = 624;
  long long nextSecond = 1;
  long long secondPulses = 0;
  long long carried = 0;
  long long nextMinute = 1;
  long long minutePulses = 0;
  long greetingsSeen = 0;
  long long ratePulses = 0;  // sent within the rate window
  bool rateLogged = false;
  long prelude = 0;          // prelude bytes played
};

volatile sig_atomic_t stopping = 0;
FILE* logFile = nullptr;
timespec startTime;

double NowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (t.tv_sec - startTime.tv_sec) * 1e3 + (t.tv_nsec - startTime.tv_nsec) / 1e6;
}

void Log(const std::string& line) {
  if (logFile == nullptr) return;
  std::fprintf(logFile, "%lld %s\n", static_cast<long long>(NowMs()), line.c_str());
  std::fflush(logFile);
}

// A Mersenne twister written out, so the Poisson times of a seed are the same
// with every compiler and library.
void SeedRandom(Play* p, uint32_t seed) {
  p->random[0] = seed;
  for (int i = 1; i < 624; ++i) {
    p->random[i] = 1812433253u * (p->random[i - 1] ^ (p->random[i - 1] >> 30)) + i;
  }
  p->randomAt = 624;
}

uint32_t NextRandom(Play* p) {
  if (p->randomAt >= 624) {
    for (int i = 0; i < 624; ++i) {
      uint32_t y = (p->random[i] & 0x80000000u) | (p->random[(i + 1) % 624] & 0x7fffffffu);
      p->random[i] = p->random[(i + 397) % 624] ^ (y >> 1) ^ ((y & 1) != 0 ? 0x9908b0dfu : 0);
    }
    p->randomAt = 0;
  }
  uint32_t y = p->random[p->randomAt++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9d2c5680u;
  y ^= (y << 15) & 0xefc60000u;
  return y ^ (y >> 18);
}

// Exponential gaps make the pulses a Poisson stream of mean rate cpm.
double PoissonGapMs(const Options& o, Play* p) {
  double u = (NextRandom(p) + 0.5) / 4294967296.0;
  return -std::log(u) * o.minuteMs / o.cpm;
}

long ScriptCount(const Options& o, long long minute) {
  size_t n = o.script.size();
  if (o.repeat) return o.script[static_cast<size_t>(minute) % n];
  return minute < static_cast<long long>(n) ? o.script[static_cast<size_t>(minute)] : 0;
}

double ScriptPulseMs(const Options& o, long long minute, long long index) {
  long count = ScriptCount(o, minute);
  double into = o.burst ? o.minuteMs / 2 : (index + 0.5) * o.minuteMs / count;
  return minute * o.minuteMs + into;
}

// Moves the script to the first pulse of the first minute from `minute` on
// that has any.
void SeekScript(const Options& o, Play* p, long long minute) {
  long long last = o.repeat ? minute + static_cast<long long>(o.script.size())
                            : static_cast<long long>(o.script.size());
  for (; minute < last; ++minute) {
    if (ScriptCount(o, minute) > 0) {
      p->scriptMinute = minute;
      p->pulseIndex = 0;
      p->pulseMs = ScriptPulseMs(o, minute, 0);
      return;
    }
  }
  p->pulseMs = kNever;
}

void FirstPulse(const Options& o, Play* p) {
  if (o.silent || !o.modem.empty()) return;
  if (o.source == kScript) {
    SeekScript(o, p, 0);
  } else if (o.source == kRate) {
    p->pulseMs = o.rateFromMs < o.rateUntilMs ? o.rateFromMs : kNever;
  } else if (o.cpm > 0) {
    SeedRandom(p, o.seed);
    p->pulseMs = PoissonGapMs(o, p);
  }
}

void NextPulse(const Options& o, Play* p) {
  ++p->pulseIndex;
  if (o.source == kScript) {
    if (p->pulseIndex < ScriptCount(o, p->scriptMinute)) {
      p->pulseMs = ScriptPulseMs(o, p->scriptMinute, p->pulseIndex);
    } else {
      SeekScript(o, p, p->scriptMinute + 1);
    }
  } else if (o.source == kRate) {
    p->pulseMs = o.rateFromMs + p->pulseIndex * 1000.0 / o.rate;
    if (p->pulseMs >= o.rateUntilMs) p->pulseMs = kNever;
  } else {
    p->pulseMs += PoissonGapMs(o, p);
  }
}

// Counted minutes: all of them, but only the script's when it plays once.
double MinuteEndMs(const Options& o, const Play& p) {
  if (o.silent || !o.modem.empty()) return kNever;
  if (o.source == kScript && !o.repeat && p.nextMinute > static_cast<long long>(o.script.size())) {
    return kNever;
  }
  return p.nextMinute * o.minuteMs;
}

double SampleMs(const Options& o, const Play& p) {
  if (!o.samples || o.silent || !o.modem.empty()) return kNever;
  return p.nextSecond * 1000.0;
}

// Plays everything due by `relMs` (ms from the origin) into `out`, in time
// order. At equal times a sample closes its second first, then a minute ends,
// then the pulse counts for what begins there.
void PlayUntil(const Options& o, Play* p, double relMs, std::string* out) {
  for (; p->prelude < o.prelude; ++p->prelude) {
    out->push_back('\xFF');
    ++p->minutePulses;
  }
  if (o.source == kRate && !p->rateLogged && relMs >= o.rateUntilMs &&
      o.rateUntilMs < kNever) {
    // Pulses due up to the end are played first, so the total is final.
    PlayUntil(o, p, o.rateUntilMs - 1e-9, out);
    Log("rate sent " + std::to_string(p->ratePulses) + " pulses");
    p->rateLogged = true;
  }
  for (;;) {
    double sample = SampleMs(o, *p), minute = MinuteEndMs(o, *p), pulse = p->pulseMs;
    double first = std::min(sample, std::min(minute, pulse));
    if (first > relMs) return;
    if (sample == first) {
      long long value = p->secondPulses + p->carried;
      long long sent = std::min(value, 127LL);
      p->carried = value - sent;
      p->secondPulses = 0;
      out->push_back(static_cast<char>(o.marker));
      out->push_back(static_cast<char>(sent));
      p->minutePulses += sent;
      ++p->nextSecond;
    } else if (minute == first) {
      Log("minute " + std::to_string(p->nextMinute) + " sent " + std::to_string(p->minutePulses) +
          " pulses");
      p->minutePulses = 0;
      ++p->nextMinute;
    } else {
      if (o.samples) {
        ++p->secondPulses;
      } else if (out->size() < kQueueLimit) {
        out->push_back('\xFF');
        ++p->minutePulses;
        if (o.source == kRate) ++p->ratePulses;
      }
      NextPulse(o, p);
    }
  }
}

bool ParseNumber(const char* text, double low, double high, double* out) {
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !(v >= low && v <= high)) return false;
  *out = v;
  return true;
}

bool ParseScript(const char* text, std::vector<long>* out) {
  for (const char* p = text;;) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p || v < 0) return false;
    out->push_back(v);
    if (*end == '\0') return true;
    if (*end != ',') return false;
    p = end + 1;
  }
}

bool ParseOption(const std::string& a, const char* v, Options* o) {
  double n = 0;
  if (a == "--link") {
    o->link = v;
  } else if (a == "--device") {
    o->device = v;
  } else if (a == "--log") {
    o->log = v;
  } else if (a == "--framing") {
    if (std::strcmp(v, "pulse") != 0 && std::strcmp(v, "samples") != 0) return false;
    o->samples = std::strcmp(v, "samples") == 0;
  } else if (a == "--marker") {
    long m = std::strtol(v, nullptr, 0);
    if (m != 0x80 && m != 0xC0) return false;
    o->marker = static_cast<unsigned char>(m);
  } else if (a == "--cpm") {
    if (!ParseNumber(v, 0, 1e7, &o->cpm)) return false;
    o->source = kPoisson;
  } else if (a == "--seed") {
    if (!ParseNumber(v, 0, 4294967295.0, &n)) return false;
    o->seed = static_cast<uint32_t>(n);
  } else if (a == "--script") {
    o->script.clear();
    if (!ParseScript(v, &o->script)) return false;
    o->source = kScript;
  } else if (a == "--minute-ms") {
    if (!ParseNumber(v, 1, 1e9, &o->minuteMs)) return false;
  } else if (a == "--rate") {
    if (!ParseNumber(v, 1, 1e7, &o->rate)) return false;
    o->source = kRate;
  } else if (a == "--rate-window") {
    char* comma = nullptr;
    double from = std::strtod(v, &comma);
    double length = 0;
    if (comma == v || *comma != ',' || !ParseNumber(comma + 1, 0, 1e7, &length) || from < 0 ||
        from > 1e7) {
      return false;
    }
    o->rateFromMs = from * 1000;
    o->rateUntilMs = (from + length) * 1000;
  } else if (a == "--prelude") {
    if (!ParseNumber(v, 0, 1e6, &n)) return false;
    o->prelude = static_cast<long>(n);
  } else if (a == "--greetings") {
    if (!ParseNumber(v, 1, 1e6, &n)) return false;
    o->greetings = static_cast<long>(n);
  } else if (a == "--modem") {
    if (std::strcmp(v, "ok") != 0 && std::strcmp(v, "echo") != 0) return false;
    o->modem = v;
  } else if (a == "--hangup-after") {
    if (!ParseNumber(v, 0, 1e7, &n)) return false;
    o->hangupAfterMs = n * 1000;
  } else {
    return false;
  }
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--repeat") {
      o->repeat = true;
    } else if (a == "--burst") {
      o->burst = true;
    } else if (a == "--start-after-greeting") {
      o->afterGreeting = true;
    } else if (a == "--silent") {
      o->silent = true;
    } else if (i + 1 >= argc || !ParseOption(a, argv[i + 1], o)) {
      std::fprintf(stderr, "counter-sim: bad option or value: %s\n", a.c_str());
      return false;
    } else {
      ++i;
    }
  }
  return o->link.empty() != o->device.empty();
}

void MakeRaw(int fd) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return;
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
}

// Opens the line: an existing tty, or a new pty whose slave is linked at
// `link`. The slave stays open here too (`keep`), so the line does not hang up
// whenever the program closes its end.
int OpenLine(const Options& o, int* keep) {
  *keep = -1;
  if (!o.device.empty()) {
    int fd = open(o.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) MakeRaw(fd);
    return fd;
  }
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0) return -1;
  const char* name = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : nullptr;
  if (name != nullptr) *keep = open(name, O_RDWR | O_NOCTTY);
  struct stat old;
  bool taken = lstat(o.link.c_str(), &old) == 0 && !S_ISLNK(old.st_mode);
  if (*keep < 0 || taken) {
    if (taken) errno = EEXIST;
    if (*keep >= 0) close(*keep);
    close(master);
    return -1;
  }
  MakeRaw(*keep);
  MakeRaw(master);
  unlink(o.link.c_str());
  if (symlink(name, o.link.c_str()) != 0) {
    close(*keep);
    close(master);
    return -1;
  }
  return master;
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

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Reads what arrived, answering like a modem and noticing the greeting byte by
// byte, since either may be split over reads. Returns false when the line
// went down (the other end of a device closed).
bool Receive(int fd, const Options& o, Play* p, std::string* recent, std::string* out) {
  unsigned char in[4096];
  for (;;) {
    ssize_t n = read(fd, in, sizeof in);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    if (n <= 0) return false;
    Log("rx " + Hex(in, n));
    for (ssize_t i = 0; i < n; ++i) {
      recent->push_back(static_cast<char>(in[i]));
      if (recent->size() > 2 * sizeof kGreeting) recent->erase(0, sizeof kGreeting);
      if (!o.modem.empty() && !o.silent && EndsWith(*recent, kModemCommand)) {
        *out += o.modem == "echo" ? "ATZ\r\r\nOK\r\n" : "\r\nOK\r\n";
      }
      if (EndsWith(*recent, kGreeting)) {
        Log("greeting");
        if (!p->started && ++p->greetingsSeen >= o.greetings) {
          p->started = true;
          p->originMs = NowMs();
        }
      }
    }
  }
}

void OnSignal(int) {
  stopping = 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr, "usage: counter-sim (--link PATH | --device PATH) [options]\n");
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &startTime);
  if (!o.log.empty()) {
    logFile = std::fopen(o.log.c_str(), "a");
    if (logFile == nullptr) {
      std::perror("counter-sim: opening the log");
      return 1;
    }
  }
  // The signals stay blocked except while waiting, so one arriving between
  // the check of `stopping` and the wait still ends the wait.
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
  sigset_t blocked, waiting;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigprocmask(SIG_BLOCK, &blocked, &waiting);
  sigdelset(&waiting, SIGINT);
  sigdelset(&waiting, SIGTERM);

  int keep = -1;
  int fd = OpenLine(o, &keep);
  if (fd < 0) {
    std::perror("counter-sim: opening the line");
    return 1;
  }

  Play p;
  p.started = !o.afterGreeting;
  FirstPulse(o, &p);
  std::string recent, out;
  long long unlogged = 0;
  double lastTxLogMs = -kNever;
  bool lineDown = false;

  while (!stopping) {
    double now = NowMs();
    if (now >= o.hangupAfterMs) {
      Log("hangup");
      break;
    }
    if (p.started) PlayUntil(o, &p, now - p.originMs, &out);
    if (!out.empty() && !lineDown) {
      ssize_t n = write(fd, out.data(), out.size());
      if (n > 0) {
        out.erase(0, static_cast<size_t>(n));
        unlogged += n;
      }
    }
    if (unlogged > 0 && now >= lastTxLogMs + 1000) {
      Log("tx " + std::to_string(unlogged) + " bytes");
      unlogged = 0;
      lastTxLogMs = now;
    }

    // Sleep until the next whole millisecond something is due, so the bytes
    // due within one millisecond go out in one write.
    double next = o.hangupAfterMs;
    if (p.started) {
      double due = std::min(p.pulseMs, std::min(MinuteEndMs(o, p), SampleMs(o, p)));
      next = std::min(next, p.originMs + due);
    }
    if (unlogged > 0) next = std::min(next, lastTxLogMs + 1000);
    // A device whose other end closed reports a hang-up at once, every time:
    // look at it again only every 100 ms.
    if (lineDown) next = std::min(next, now + 100);
    timespec wait = {0, 0};
    timespec* timeout = nullptr;
    if (next < kNever) {
      double ms = std::max(0.0, std::ceil(next) - now);
      wait.tv_sec = static_cast<time_t>(std::min(ms / 1000, double(INT_MAX)));
      wait.tv_nsec = static_cast<long>((ms - wait.tv_sec * 1000.0) * 1e6);
      if (wait.tv_nsec > 999999999) wait.tv_nsec = 999999999;
      timeout = &wait;
    }
    pollfd line = {lineDown ? -1 : fd, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0};
    lineDown = false;
    if (ppoll(&line, 1, timeout, &waiting) > 0 && (line.revents & (POLLIN | POLLHUP | POLLERR))) {
      lineDown = !Receive(fd, o, &p, &recent, &out);
    }
  }
  if (unlogged > 0) Log("tx " + std::to_string(unlogged) + " bytes");
  close(fd);
  if (keep >= 0) close(keep);
  if (!o.link.empty()) unlink(o.link.c_str());
  if (logFile != nullptr) std::fclose(logFile);
  return 0;
}
