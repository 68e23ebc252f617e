// Placeholder definitions, replaced by the real ones.
#include "records/minute_tick.h"

void MinuteTick() {
}

void AppendDataFileLine(int32_t count) {
  (void)count;
}
