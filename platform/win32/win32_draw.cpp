// win32 backend: fonts, images and drawing with GDI.
//
// [x] screen DPI, fonts by face name and point size
// [x] image 0 as a 24-bit DIB section, image 1 decoded from the icon file
// [x] opaque text cells, lines with both end points, radius-1 circles of five pixels
#include <windows.h>

#include <cmath>
#include <map>

// windows.h makes DrawText a macro; the seam has a function of that name.
#undef DrawText
#include "platform/platform.h"
#include "platform/win32/win32_images.h"

namespace {

struct Image {
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
};

struct Drawing {
  std::map<int, HFONT> fonts;
  std::map<int, Image> images;
  HDC dc = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HGDIOBJ oldFont = nullptr;
  COLORREF front = RGB(0, 0, 0);
};

Drawing d;

COLORREF Ref(platform::Color c) {
  return RGB(c.red, c.green, c.blue);
}

// The image data of the first entry of an icon file held in memory.
bool FirstIconImage(const unsigned char* bytes, size_t size, const unsigned char** dataOut,
                    DWORD* lengthOut) {
  if (size < 6 + 16) return false;
  DWORD length = bytes[14] | bytes[15] << 8 | bytes[16] << 16 | static_cast<DWORD>(bytes[17]) << 24;
  DWORD offset = bytes[18] | bytes[19] << 8 | bytes[20] << 16 | static_cast<DWORD>(bytes[21]) << 24;
  if (offset > size || length > size - offset) return false;
  *dataOut = bytes + offset;
  *lengthOut = length;
  return true;
}

}  // namespace

namespace win32 {

HBITMAP ImageBitmap(int number) {
  auto it = d.images.find(number);
  return it == d.images.end() ? nullptr : it->second.bitmap;
}

HICON ImageIcon(int number) {
  auto it = d.images.find(number);
  return it == d.images.end() ? nullptr : it->second.icon;
}

}  // namespace win32

namespace platform {

int QueryScreenDpi() {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(desktop, dc);
  return dpi;
}

bool CreateDisplayFont(int number, const std::string& face, int points, bool bold, bool italic,
                       bool underline) {
  HDC screen = GetDC(nullptr);
  int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  int height = -static_cast<int>(std::lround(points * dpiY / 72.0));
  HFONT font = CreateFontA(height, 0, 0, 0, bold ? 700 : 400, italic, underline, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  if (font == nullptr) return false;
  d.fonts[number] = font;
  return true;
}

bool CreateImage(int number, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return false;
  d.images[number].bitmap = bitmap;
  return true;
}

bool CreateIconImage(int number, const unsigned char* bytes, size_t size) {
  const unsigned char* data = nullptr;
  DWORD length = 0;
  if (!FirstIconImage(bytes, size, &data, &length)) return false;
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data), length, TRUE, 0x00030000, 16, 16,
                                        LR_DEFAULTCOLOR);
  if (icon == nullptr) return false;
  d.images[number].icon = icon;
  return true;
}

void FreeFontsAndImages() {
  for (auto& [number, font] : d.fonts) DeleteObject(font);
  for (auto& [number, image] : d.images) {
    if (image.bitmap != nullptr) DeleteObject(image.bitmap);
    if (image.icon != nullptr) DestroyIcon(image.icon);
  }
  d.fonts.clear();
  d.images.clear();
}

bool BeginDrawing(int image) {
  HBITMAP bitmap = win32::ImageBitmap(image);
  if (bitmap == nullptr || d.dc != nullptr) return false;
  d.dc = CreateCompatibleDC(nullptr);
  if (d.dc == nullptr) return false;
  d.oldBitmap = SelectObject(d.dc, bitmap);
  d.oldFont = SelectObject(d.dc, GetStockObject(DEFAULT_GUI_FONT));
  SelectObject(d.dc, GetStockObject(DC_PEN));
  SetBkMode(d.dc, OPAQUE);
  return true;
}

void EndDrawing() {
  if (d.dc == nullptr) return;
  // The image control selects the bitmap into its own DC to show it: let go of it.
  SelectObject(d.dc, d.oldFont);
  SelectObject(d.dc, d.oldBitmap);
  DeleteDC(d.dc);
  d.dc = nullptr;
}

void FillRectangle(int x, int y, int width, int height, Color color) {
  if (d.dc == nullptr) return;
  RECT r{x, y, x + width, y + height};
  HBRUSH brush = CreateSolidBrush(Ref(color));
  FillRect(d.dc, &r, brush);
  DeleteObject(brush);
}

void SetFrontColor(Color color) {
  d.front = Ref(color);
  if (d.dc == nullptr) return;
  SetTextColor(d.dc, d.front);
  SetDCPenColor(d.dc, d.front);
}

void SetBackColor(Color color) {
  if (d.dc != nullptr) SetBkColor(d.dc, Ref(color));
}

void SelectFont(int number) {
  auto it = d.fonts.find(number);
  if (d.dc != nullptr && it != d.fonts.end()) SelectObject(d.dc, it->second);
}

void DrawText(int x, int y, const std::string& text) {
  if (d.dc != nullptr) TextOutA(d.dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void DrawTextInColor(int x, int y, const std::string& text, Color color) {
  if (d.dc == nullptr) return;
  SetTextColor(d.dc, Ref(color));
  TextOutA(d.dc, x, y, text.c_str(), static_cast<int>(text.size()));
  SetTextColor(d.dc, d.front);
}

void MeasureText(const std::string& text, int* widthOut, int* heightOut) {
  SIZE size{0, 0};
  if (d.dc != nullptr) {
    GetTextExtentPoint32A(d.dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  *widthOut = size.cx;
  *heightOut = size.cy;
}

void DrawLine(int x0, int y0, int x1, int y1) {
  if (d.dc == nullptr) return;
  MoveToEx(d.dc, x0, y0, nullptr);
  LineTo(d.dc, x1, y1);
  SetPixelV(d.dc, x1, y1, d.front);  // LineTo leaves out the end point
}

void FillCircle(int cx, int cy, int radius) {
  if (d.dc == nullptr) return;
  // Pixel by pixel: GDI's Ellipse of a 2x2 box is a square, not the plus of
  // five pixels a radius-1 circle must cover.
  for (int y = -radius; y <= radius; ++y) {
    for (int x = -radius; x <= radius; ++x) {
      if (x * x + y * y <= radius * radius) SetPixelV(d.dc, cx + x, cy + y, d.front);
    }
  }
}

}  // namespace platform
