// sim backend: fonts with fixed metrics, RGB raster images and the drawing
// operations on them, as described in sim_draw.h.
#include "platform/sim/sim_draw.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "platform/platform.h"
#include "platform/sim/sim_ui.h"

namespace {

struct SimImage {
  sim::ImageInfo info;
  std::vector<unsigned char> rgb;  // rows top to bottom, 3 bytes a pixel
};

struct DrawState {
  std::map<int, sim::FontInfo> fonts;
  std::map<int, SimImage> images;
  bool failDrawing = false;
  int drawings = 0;
  int target = -1;  // image being drawn on, -1 when no drawing is open
  platform::Color front, back{255, 255, 255};
  int font = 0;
  std::vector<sim::DrawnText> texts;
};

DrawState* draw = new DrawState;

sim::FontInfo MakeMetrics(int points, int dpi) {
  sim::FontInfo font;
  font.points = points;
  font.charHeight = (points * dpi + 36) / 72;
  font.cellHeight = font.charHeight + font.charHeight / 6;
  font.advance = font.charHeight / 2 + 1;
  return font;
}

sim::FontInfo CurrentFont() {
  auto it = draw->fonts.find(draw->font);
  return it != draw->fonts.end() ? it->second : MakeMetrics(9, 96);
}

SimImage* Target() {
  if (draw->target < 0) return nullptr;
  auto it = draw->images.find(draw->target);
  return it == draw->images.end() ? nullptr : &it->second;
}

void Plot(SimImage* image, int64_t x, int64_t y, platform::Color color) {
  if (x < 0 || y < 0 || x >= image->info.width || y >= image->info.height) return;
  unsigned char* p = &image->rgb[(static_cast<size_t>(y) * image->info.width + x) * 3];
  p[0] = color.red;
  p[1] = color.green;
  p[2] = color.blue;
}

// Fills the columns x0..x1 and rows y0..y1 (inclusive) that lie on the image.
void FillBox(SimImage* image, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
             platform::Color color) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 >= image->info.width) x1 = image->info.width - 1;
  if (y1 >= image->info.height) y1 = image->info.height - 1;
  for (int64_t y = y0; y <= y1; ++y) {
    for (int64_t x = x0; x <= x1; ++x) Plot(image, x, y, color);
  }
}

// a / b to the nearest whole number, halves away from zero.
int64_t RoundDivide(int64_t a, int64_t b) {
  if (b < 0) {
    a = -a;
    b = -b;
  }
  return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b));
}

// Each pixel of the line is computed from its end points alone, so only the
// steps that fall on the image are taken however long the line is.
void RasterLine(SimImage* image, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                platform::Color color) {
  int64_t dx = x1 - x0, dy = y1 - y0;
  bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  if (dx == 0 && dy == 0) {
    Plot(image, x0, y0, color);
    return;
  }
  int64_t from = alongX ? (x0 < x1 ? x0 : x1) : (y0 < y1 ? y0 : y1);
  int64_t to = alongX ? (x0 < x1 ? x1 : x0) : (y0 < y1 ? y1 : y0);
  int64_t limit = (alongX ? image->info.width : image->info.height) - 1;
  if (from < 0) from = 0;
  if (to > limit) to = limit;
  for (int64_t s = from; s <= to; ++s) {
    if (alongX) {
      Plot(image, s, y0 + RoundDivide(dy * (s - x0), dx), color);
    } else {
      Plot(image, x0 + RoundDivide(dx * (s - y0), dy), s, color);
    }
  }
}

void PaintText(int x, int y, const std::string& text, platform::Color color) {
  SimImage* image = Target();
  if (image == nullptr) return;
  sim::FontInfo font = CurrentFont();
  int width = static_cast<int>(text.size()) * font.advance;
  draw->texts.push_back(sim::DrawnText{draw->target, x, y, text, draw->font, color, draw->back,
                                       width, font.cellHeight});
  FillBox(image, x, y, int64_t{x} + width - 1, int64_t{y} + font.cellHeight - 1, draw->back);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    int64_t left = x + static_cast<int64_t>(i) * font.advance;
    FillBox(image, left + 1, int64_t{y} + 2, left + font.advance - 2,
            int64_t{y} + font.charHeight - 1, color);
  }
  if (font.underline) {
    int64_t row = int64_t{y} + font.cellHeight - 1;
    FillBox(image, x, row, int64_t{x} + width - 1, row, color);
  }
}

// ---- PNG: stored (uncompressed) deflate blocks need no compressor.

uint32_t Crc32(const unsigned char* bytes, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<unsigned char>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<unsigned char>(v >> shift));
}

void PutChunk(std::vector<unsigned char>* out, const char type[4],
              const std::vector<unsigned char>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out->insert(out->end(), typed.begin(), typed.end());
  PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

std::vector<unsigned char> ZlibStored(const std::vector<unsigned char>& raw) {
  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  size_t at = 0;
  do {
    size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    at += n;
  } while (at < raw.size());
  PutBigEndian(&z, (b << 16) | a);
  return z;
}

}  // namespace

namespace platform {

int QueryScreenDpi() {
  return sim::CurrentScreenDpi();
}

bool CreateDisplayFont(int number, const std::string& face, int points, bool bold, bool italic,
                       bool underline) {
  sim::FontInfo font = MakeMetrics(points, sim::CurrentScreenDpi());
  font.exists = true;
  font.face = face;
  font.bold = bold;
  font.italic = italic;
  font.underline = underline;
  draw->fonts[number] = font;
  return true;
}

bool CreateImage(int number, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  SimImage image;
  image.info = sim::ImageInfo{true, width, height, false};
  image.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
  draw->images[number] = image;
  return true;
}

bool CreateIconImage(int number, const unsigned char* bytes, size_t size) {
  // An icon directory: reserved 0, type 1, a count, then 16-byte entries
  // whose first two bytes are the width and height (0 meaning 256).
  if (bytes == nullptr || size < 22 || bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 ||
      bytes[3] != 0 || (bytes[4] == 0 && bytes[5] == 0)) {
    return false;
  }
  int width = bytes[6] == 0 ? 256 : bytes[6];
  int height = bytes[7] == 0 ? 256 : bytes[7];
  if (!CreateImage(number, width, height)) return false;
  draw->images[number].info.fromIcon = true;
  return true;
}

void FreeFontsAndImages() {
  draw->fonts.clear();
  draw->images.clear();
  draw->target = -1;
}

bool BeginDrawing(int image) {
  if (draw->failDrawing || draw->images.count(image) == 0) return false;
  draw->target = image;
  draw->texts.clear();
  ++draw->drawings;
  return true;
}

void EndDrawing() {
  draw->target = -1;
}

void FillRectangle(int x, int y, int width, int height, Color color) {
  SimImage* image = Target();
  if (image == nullptr || width <= 0 || height <= 0) return;
  FillBox(image, x, y, int64_t{x} + width - 1, int64_t{y} + height - 1, color);
}

void SetFrontColor(Color color) {
  draw->front = color;
}

void SetBackColor(Color color) {
  draw->back = color;
}

void SelectFont(int number) {
  draw->font = number;
}

void DrawText(int x, int y, const std::string& text) {
  PaintText(x, y, text, draw->front);
}

void DrawTextInColor(int x, int y, const std::string& text, Color color) {
  PaintText(x, y, text, color);
}

void MeasureText(const std::string& text, int* widthOut, int* heightOut) {
  sim::FontInfo font = CurrentFont();
  *widthOut = static_cast<int>(text.size()) * font.advance;
  *heightOut = font.cellHeight;
}

void DrawLine(int x0, int y0, int x1, int y1) {
  SimImage* image = Target();
  if (image != nullptr) RasterLine(image, x0, y0, x1, y1, draw->front);
}

void FillCircle(int cx, int cy, int radius) {
  SimImage* image = Target();
  if (image == nullptr || radius < 0) return;
  int64_t r = radius;
  int64_t top = -r > -int64_t{cy} ? -r : -int64_t{cy};
  int64_t bottom =
      r < image->info.height - 1 - int64_t{cy} ? r : image->info.height - 1 - int64_t{cy};
  for (int64_t dy = top; dy <= bottom; ++dy) {
    int64_t y = cy + dy;
    int64_t half = static_cast<int64_t>(std::sqrt(static_cast<double>(r * r - dy * dy)));
    while (half * half + dy * dy > r * r) --half;
    while ((half + 1) * (half + 1) + dy * dy <= r * r) ++half;
    FillBox(image, cx - half, y, cx + half, y, draw->front);
  }
}

}  // namespace platform

namespace sim {

void ResetDraw() {
  *draw = DrawState{};
}

FontInfo Font(int number) {
  auto it = draw->fonts.find(number);
  return it == draw->fonts.end() ? FontInfo{} : it->second;
}

ImageInfo Image(int number) {
  auto it = draw->images.find(number);
  return it == draw->images.end() ? ImageInfo{} : it->second.info;
}

platform::Color Pixel(int image, int x, int y) {
  auto it = draw->images.find(image);
  if (it == draw->images.end()) return {};
  const SimImage& found = it->second;
  if (x < 0 || y < 0 || x >= found.info.width || y >= found.info.height) return {};
  const unsigned char* p = &found.rgb[(static_cast<size_t>(y) * found.info.width + x) * 3];
  return platform::Color{p[0], p[1], p[2]};
}

bool WriteImagePng(int image, const std::string& path) {
  auto it = draw->images.find(image);
  if (it == draw->images.end()) return false;
  const SimImage& found = it->second;
  size_t rowBytes = static_cast<size_t>(found.info.width) * 3;
  std::vector<unsigned char> raw;
  raw.reserve((rowBytes + 1) * found.info.height);
  for (int y = 0; y < found.info.height; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), found.rgb.begin() + y * rowBytes, found.rgb.begin() + (y + 1) * rowBytes);
  }
  std::vector<unsigned char> header;
  PutBigEndian(&header, static_cast<uint32_t>(found.info.width));
  PutBigEndian(&header, static_cast<uint32_t>(found.info.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", ZlibStored(raw));
  PutChunk(&png, "IEND", {});
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
  return std::fclose(out) == 0 && written;
}

std::vector<DrawnText> DrawnTexts() {
  return draw->texts;
}

int DrawingCount() {
  return draw->drawings;
}

void FailDrawing(bool fail) {
  draw->failDrawing = fail;
}

}  // namespace sim
