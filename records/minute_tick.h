// Once a minute: show, store, chart, alert, report and record the count.
#pragma once

#include <cstdint>

void MinuteTick();
// Appends the minute's line to the data file; nothing when it cannot be opened.
void AppendDataFileLine(int32_t count);
