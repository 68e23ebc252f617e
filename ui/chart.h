// The chart of the last three hours, drawn into image 0.
#pragma once

#include <cstdint>
#include <string>

// Draws the history into image 0, shows it in control 3 and sets
// `app.tenMinuteAverage`.
void DrawChart();
// "M/D/YYYY  h:mm AM" for a date value.
std::string FormatTimestamp(int64_t t);
// "h:mm" on the 12-hour clock, without AM or PM.
std::string FormatClock(int64_t t);
