// The one record of the program's whole state, read and written directly
// by every subsystem.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

// One minute of history. Date values are held in 64 bits so that the chart
// and the reload stay right after January 2038; texts, file lines and URL
// values are the same as they would be with 32 bits until then.
struct HistoryEntry {
  int32_t count;
  int64_t time;  // date value; 0 marks a slot that never held an entry
};

// States of the count decoder.
constexpr int32_t Undecided = 256;
constexpr int32_t PerByte = 257;
constexpr int32_t TwoByte = 258;

struct AppState {
  int32_t mainWindowHidden;
  int32_t alertLevel;
  int32_t alertUseAverage;
  std::unique_ptr<std::recursive_mutex> windowMutex;
  int32_t baudRate;
  int32_t decoderState;
  std::string stationId;
  std::string networkId;
  platform::SerialPort serialPort;
  int32_t minuteCount;
  int32_t tenMinuteAverage;
  std::string versionString;
  int32_t reportHoldoff;
  std::string statusText;
  int32_t historyCapacity;
  float screenDpi;
  std::string userAgent;
  std::string alertSoundFile;
  std::string osName;
  int32_t historyLast;
  int32_t lastEvent;
  int32_t quitRequested;
  int16_t selectedPort;
  uint8_t currentByte;
  uint8_t pendingMarker;
  std::vector<HistoryEntry> history;
};

extern AppState app;

// Window numbers.
constexpr int kMainWindow = 0;
constexpr int kAboutWindow = 1;
constexpr int kAlertWindow = 3;
constexpr int kHelpWindow = 4;

// Image numbers.
constexpr int kChartImage = 0;
constexpr int kIconImage = 1;

// Control ids.
constexpr int kChartControl = 3;
