// The chart redraw with a full history of 181 minutes.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "ui/chart.h"

static void BM_DrawChartFullHistory(benchmark::State& state) {
  sim::Reset();
  RunStartup();
  int64_t now = platform::LocalNow();
  for (int i = 0; i <= 180; ++i)
    app.history[i] = HistoryEntry{20 + (i * 37) % 41, now - (180 - i) * 60};
  app.historyLast = 180;
  for (auto _ : state) {
    DrawChart();
    benchmark::DoNotOptimize(app.tenMinuteAverage);
  }
}
BENCHMARK(BM_DrawChartFullHistory);
