// Draws the chart with the win32 backend's GDI layer, for checks under Wine:
//
//   chart_probe draw OUT.bmp     a full three-hour history ending now, drawn
//                                and written to OUT.bmp
//   chart_probe reload OUT.bmp   the history reloaded from data\log-.txt of the
//                                working directory, drawn and written to OUT.bmp
//   chart_probe held             whether the data file opens while another
//                                program holds it open for writing
//
// Each command prints what a check compares: text measurements, the pixels
// around the markers, the entries reloaded.
#include <windows.h>
#undef DrawText

#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/platform.h"
#include "platform/win32/win32_images.h"
#include "records/history.h"
#include "ui/chart.h"

namespace {

void StartLikeTheProgram() {
  platform::InitializePlatform();
  app.historyCapacity = 180;
  app.screenDpi = static_cast<float>(QueryScreenDpi());
  CreateFonts();
  app.history.assign(app.historyCapacity + 1, HistoryEntry{0, 0});
  app.historyLast = 0;
  CreateImages();
}

// Writes image 0 as a top-down 24-bit BMP.
bool WriteBmp(const char* path) {
  DIBSECTION dib{};
  HBITMAP bitmap = win32::ImageBitmap(kChartImage);
  if (bitmap == nullptr || GetObject(bitmap, sizeof dib, &dib) != sizeof dib) return false;
  GdiFlush();
  BITMAPINFOHEADER info = dib.dsBmih;
  int height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
  DWORD stride = (info.biWidth * 3 + 3) & ~3u;
  DWORD imageBytes = stride * height;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageBytes;
  info.biSizeImage = imageBytes;
  info.biHeight = -height;  // the rows are stored top-down, whatever the header says
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(dib.dsBm.bmBits, 1, imageBytes, out);
  return std::fclose(out) == 0;
}

// The pixels of a 3x3 box around (x, y): B for the curve's blue, W for
// white, K for black, ? for anything else.
void PrintAround(int x, int y) {
  DIBSECTION dib{};
  GetObject(win32::ImageBitmap(kChartImage), sizeof dib, &dib);
  const unsigned char* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
  std::printf("around %d,%d:", x, y);
  for (int dy = -1; dy <= 1; ++dy) {
    std::printf(" ");
    for (int dx = -1; dx <= 1; ++dx) {
      const unsigned char* p = bits + (y + dy) * dib.dsBm.bmWidthBytes + (x + dx) * 3;
      char c = '?';
      if (p[0] == 200 && p[1] == 0 && p[2] == 0) c = 'B';  // stored blue, green, red
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) c = 'W';
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) c = 'K';
      std::printf("%c", c);
    }
  }
  std::printf("\n");
}

void PrintMeasurements() {
  for (int font = 2; font <= 6; ++font) {
    platform::BeginDrawing(kChartImage);
    platform::SelectFont(font);
    int zerosWidth = 0, zerosHeight = 0, oneWidth = 0, oneHeight = 0;
    platform::MeasureText("00:00", &zerosWidth, &zerosHeight);
    platform::MeasureText("1", &oneWidth, &oneHeight);
    platform::EndDrawing();
    std::printf("font %d: \"00:00\" %dx%d, \"1\" %dx%d\n", font, zerosWidth, zerosHeight, oneWidth,
                oneHeight);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  StartLikeTheProgram();
  std::printf("dpi %d\n", static_cast<int>(app.screenDpi));
  if (command == "draw" && argc > 2) {
    PrintMeasurements();
    int64_t now = platform::LocalNow();
    // A saw of counts 20 to 42 with its minimum first and its maximum last.
    for (int i = 0; i <= 180; ++i) {
      app.history[i] = HistoryEntry{i == 180 ? 42 : 20 + (i * 7) % 22, now - 60 * (180 - i)};
    }
    app.historyLast = 180;
    DrawChart();
    std::printf("average %d\n", app.tenMinuteAverage);
    PrintAround(10, 220);
    PrintAround(350, 10);
    return WriteBmp(argv[2]) ? 0 : 1;
  }
  if (command == "reload" && argc > 2) {
    ReloadHistory();
    std::printf("historyLast %d\n", app.historyLast);
    for (int i = 0; i <= app.historyLast; ++i) {
      std::printf("slot %d: %d at %lld\n", i, app.history[i].count,
                  static_cast<long long>(app.history[i].time));
    }
    std::printf("average %d\n", app.tenMinuteAverage);
    return WriteBmp(argv[2]) ? 0 : 1;
  }
  if (command == "held") {
    HANDLE other = CreateFileA(DataFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE) return 1;
    platform::File readWrite = platform::FileOpenReadWrite(DataFilePath());
    platform::File readOnly = platform::FileOpenRead(DataFilePath());
    std::printf("held: read-write %s, read-only %s\n", readWrite ? "opens" : "fails",
                readOnly ? "opens" : "fails");
    platform::FileClose(readWrite);
    platform::FileClose(readOnly);
    CloseHandle(other);
    readWrite = platform::FileOpenReadWrite(DataFilePath());
    std::printf("released: read-write %s\n", readWrite ? "opens" : "fails");
    platform::FileClose(readWrite);
    return 0;
  }
  std::fprintf(stderr, "usage: chart_probe draw OUT.bmp | reload OUT.bmp | held\n");
  return 2;
}
