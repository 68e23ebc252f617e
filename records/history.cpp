#include "records/history.h"

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "platform/platform.h"
#include "records/date_mask.h"
#include "ui/chart.h"
#include "ui/main_window.h"

namespace {

constexpr int64_t kThreeHours = 10800;
// 180 lines of 24 bytes: the last three hours of a station with two-digit counts.
constexpr int64_t kTailBytes = 4320;
constexpr char kLineDateMask[] = "%yyyy-%mm-%dd %hh:%ii:%ss";

// Reads the data file's tail a buffer at a time. It never reads past the
// length the file had when the reload began, so a file that another program
// keeps appending to cannot keep the reload going.
struct LineReader {
  platform::File file;
  int64_t unread;  // bytes of the tail not yet taken into `buffer`
  char buffer[4096];
  int filled;
  int at;
};

bool FillBuffer(LineReader* reader) {
  if (reader->unread <= 0) return false;
  int want = reader->unread < static_cast<int64_t>(sizeof reader->buffer)
                 ? static_cast<int>(reader->unread)
                 : static_cast<int>(sizeof reader->buffer);
  int got = platform::FileRead(reader->file, reader->buffer, want);
  if (got <= 0) {
    reader->unread = 0;
    return false;
  }
  reader->unread -= got;
  reader->filled = got;
  reader->at = 0;
  return true;
}

bool AtEnd(LineReader* reader) {
  return reader->at >= reader->filled && !FillBuffer(reader);
}

// The characters up to a CR, an LF, a CR LF pair, a NUL or the end of the
// file; false when no byte was left, so a final line ending adds no empty line.
bool ReadLine(LineReader* reader, std::string* lineOut) {
  lineOut->clear();
  if (AtEnd(reader)) return false;
  while (!AtEnd(reader)) {
    char c = reader->buffer[reader->at++];
    if (c == '\r') {
      if (!AtEnd(reader) && reader->buffer[reader->at] == '\n') ++reader->at;
      break;
    }
    if (c == '\n' || c == '\0') break;
    *lineOut += c;
  }
  return true;
}

// The count from the 21st character on: blanks and tabs skipped, an optional
// sign, then digits up to the first non-digit; no digits give 0. A digit run
// beyond the 32-bit range stops at its limit instead of wrapping around.
int32_t ParseCount(const std::string& line) {
  size_t at = 20;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  bool negative = false;
  if (at < line.size() && (line[at] == '+' || line[at] == '-')) negative = line[at++] == '-';
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at) {
    value = value * 10 + (line[at] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// The date of a data-file line: characters 1 to 10, a blank, characters 12
// to 19, read through the mask; false when it is no valid date.
bool ParseLineDate(const std::string& line, int64_t* timeOut) {
  std::string text = line.substr(0, 10) + " " + (line.size() > 11 ? line.substr(11, 8) : "");
  return ParseDateValue(text, kLineDateMask, timeOut);
}

}  // namespace

std::string DataFilePath() {
  return std::string("data") + platform::PathSeparator() + "log-" + app.networkId + ".txt";
}

void AppendHistory(int32_t count, int64_t time) {
  if (time == 0) time = platform::LocalNow();
  int32_t n = app.historyLast;
  if (n >= app.historyCapacity || app.history[0].time < time - kThreeHours) {
    for (int32_t i = 0; i < n; ++i) app.history[i] = app.history[i + 1];
    app.history[n] = HistoryEntry{count, time};
  } else {
    app.historyLast = n + 1;
    app.history[n + 1] = HistoryEntry{count, time};
  }
}

void ReloadHistory() {
  app.historyLast = 0;
  const int64_t cutoff = platform::LocalNow() - kThreeHours;
  platform::File file = platform::FileOpenRead(DataFilePath());
  if (file != nullptr) {
    SetStatusBarText(1, app.statusText + " --  Reading file data\\log-" + app.networkId + ".txt");
    int64_t length = platform::FileLength(file);
    int64_t start = length > kTailBytes ? length - kTailBytes : 0;
    platform::FileSeek(file, start);
    LineReader reader{file, length - start, {}, 0, 0};
    std::string line;
    if (start > 0) ReadLine(&reader, &line);  // cut by the seek, or whole: thrown away
    while (ReadLine(&reader, &line)) {
      int64_t time = 0;
      if (ParseLineDate(line, &time) && time > cutoff) AppendHistory(ParseCount(line), time);
    }
    platform::FileClose(file);
  }
  DrawChart();
}

void OpenDataDirectory() {
  const std::string arguments = "/select,log-" + app.networkId + ".txt";
  if (!platform::StartProcess("\"explorer\" " + arguments, "data")) {
    platform::ShellOpen("explorer", arguments, "data");
  }
}
