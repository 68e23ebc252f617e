// The history reload from a small and from a very large data file: only the
// tail is read, so both cost the same.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "records/date_mask.h"
#include "records/history.h"

namespace {

// Writes data/log-.txt of about `bytes` bytes in a temporary working folder.
void PrepareDataFile(int64_t bytes) {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/tessivar-bench-XXXXXX";
    folder = mkdtemp(pattern);
    std::string data = folder + "/data";
    mkdir(data.c_str(), 0755);
  }
  if (chdir(folder.c_str()) != 0) return;
  FILE* f = std::fopen("data/log-.txt", "wb");
  int64_t now = platform::LocalNow();
  int64_t lines = bytes / 24;
  std::string chunk;
  for (int64_t i = 0; i < lines; ++i) {
    chunk += FormatDateValue(now - (lines - i) * 60, "%yyyy-%mm-%dd\t%hh:%ii:%ss") + "\t42\r\n";
    if (chunk.size() > (1 << 20)) {
      std::fwrite(chunk.data(), 1, chunk.size(), f);
      chunk.clear();
    }
  }
  std::fwrite(chunk.data(), 1, chunk.size(), f);
  std::fclose(f);
}

void BM_ReloadHistory(benchmark::State& state) {
  sim::Reset();
  RunStartup();
  PrepareDataFile(state.range(0));
  for (auto _ : state) {
    ReloadHistory();
    benchmark::DoNotOptimize(app.historyLast);
  }
}

}  // namespace

BENCHMARK(BM_ReloadHistory)->Arg(4 << 10)->Arg(100 << 20)->Unit(benchmark::kMicrosecond);
