// A worst-case minute of counter input through the drain: 345,600 pulse
// bytes (the line's 5760 bytes a second) or 172,800 two-byte samples, read
// from the port, decoded, and the live text shown at the end of each drain.
#include <benchmark/benchmark.h>

#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "device/serial_connection.h"
#include "platform/sim/sim.h"

namespace {

constexpr int kMinuteBytes = 345600;
constexpr int kDrainsPerMinute = 300;  // one idle poll every 200 ms

void RunMinute(benchmark::State& state, const std::string& perDrain) {
  sim::Reset();
  sim::AttachPort(1);
  RunStartup();
  PollCounterPort();  // opens the port
  for (auto _ : state) {
    app.minuteCount = 0;
    for (int i = 0; i < kDrainsPerMinute; ++i) {
      sim::FeedPort(1, perDrain);
      PollCounterPort();
    }
    benchmark::DoNotOptimize(app.minuteCount);
  }
}

void BM_MinuteOfPulseBytes(benchmark::State& state) {
  RunMinute(state, std::string(kMinuteBytes / kDrainsPerMinute, '\xFF'));
}

void BM_MinuteOfSamples(benchmark::State& state) {
  std::string samples;
  for (int i = 0; i < kMinuteBytes / kDrainsPerMinute / 2; ++i) samples += "\x80\x01";
  RunMinute(state, samples);
}

}  // namespace

BENCHMARK(BM_MinuteOfPulseBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteOfSamples)->Unit(benchmark::kMillisecond);
