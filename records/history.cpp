// Placeholder definitions, replaced by the real ones.
#include "records/history.h"

void AppendHistory(int32_t count, int64_t time) {
  (void)count;
  (void)time;
}

void ReloadHistory() {
}

void OpenDataDirectory() {
}

std::string DataFilePath() {
  return {};
}
