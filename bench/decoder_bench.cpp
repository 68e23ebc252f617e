// A worst-case minute of counter input: 345,600 pulse bytes (the line's 5760
// bytes a second) or 172,800 two-byte samples, decoded byte by byte with the
// live text built and shown once at the end of each drain, one drain per idle
// poll (every 200 ms). The status bar is left out of the sim so that the
// figures are the program's own: the sim would keep a copy of every text.
//
// BM_PerByteText is what the drain's single text replaces: a text built and
// shown for every byte. Its cost grows with the square of the bytes, so it is
// measured on a fraction of the minute (the argument, in bytes).
#include <benchmark/benchmark.h>

#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "device/decoder.h"
#include "device/serial_connection.h"
#include "platform/sim/sim.h"

namespace {

constexpr int kMinuteBytes = 345600;
constexpr int kDrainsPerMinute = 300;
constexpr int kDrainBytes = kMinuteBytes / kDrainsPerMinute;

void StartWithoutStatusBar() {
  sim::Reset();
  sim::AttachPort(1);
  sim::FailStatusBar();
  RunStartup();
}

std::string PulseBytes(int size) {
  return std::string(static_cast<size_t>(size), '\xFF');
}

std::string Samples(int size) {
  std::string samples;
  for (int i = 0; i < size / 2; ++i) samples += "\x80\x01";
  return samples;
}

void DecodeMinute(benchmark::State& state, const std::string& drain) {
  StartWithoutStatusBar();
  for (auto _ : state) {
    app.minuteCount = 0;
    app.decoderState = Undecided;
    app.pendingMarker = 0;
    for (int i = 0; i < kDrainsPerMinute; ++i) {
      for (char b : drain) DecodeCounterByte(static_cast<uint8_t>(b));
      ShowDecoderText();
    }
    benchmark::DoNotOptimize(app.minuteCount);
  }
}

void BM_MinuteOfPulseBytes(benchmark::State& state) {
  DecodeMinute(state, PulseBytes(kDrainBytes));
}

void BM_MinuteOfSamples(benchmark::State& state) {
  DecodeMinute(state, Samples(kDrainBytes));
}

// The same minute fed through the sim's port and PollCounterPort: adds the
// queue test and the one-byte read per byte, and the sim's own queue.
void BM_MinuteThroughTheDrain(benchmark::State& state) {
  StartWithoutStatusBar();
  PollCounterPort();  // opens the port
  const std::string drain = PulseBytes(kDrainBytes);
  for (auto _ : state) {
    app.minuteCount = 0;
    for (int i = 0; i < kDrainsPerMinute; ++i) {
      sim::FeedPort(1, drain);
      PollCounterPort();
    }
    benchmark::DoNotOptimize(app.minuteCount);
  }
}

void BM_PerByteText(benchmark::State& state) {
  StartWithoutStatusBar();
  const std::string bytes = PulseBytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    app.minuteCount = 0;
    app.decoderState = Undecided;
    for (char b : bytes) {
      DecodeCounterByte(static_cast<uint8_t>(b));
      ShowDecoderText();
    }
    benchmark::DoNotOptimize(app.minuteCount);
  }
}

}  // namespace

BENCHMARK(BM_MinuteOfPulseBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteOfSamples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteThroughTheDrain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerByteText)
    ->Arg(kMinuteBytes / 64)
    ->Arg(kMinuteBytes / 16)
    ->Arg(kMinuteBytes / 4)
    ->Unit(benchmark::kMillisecond);
