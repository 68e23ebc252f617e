// The three-hour history buffer and the data file.
#pragma once

#include <cstdint>
#include <string>

// Stores a minute; time 0 stands for now.
void AppendHistory(int32_t count, int64_t time);
// Rebuilds the history from the tail of the data file, then redraws the chart.
void ReloadHistory();
// Shows the data folder with the data file selected.
void OpenDataDirectory();
// "data" + separator + "log-" + networkId + ".txt" with the platform's separator.
std::string DataFilePath();
