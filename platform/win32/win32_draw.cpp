// win32 backend: fonts, images and drawing with GDI.
//
// [x] screen DPI, fonts by face name and point size
// [x] image 0 as a 24-bit DIB section, image 1 decoded from the icon file (icon and picture)
// [x] opaque text cells, lines with both end points, radius-1 circles of five pixels
#include <windows.h>

#include <cmath>
#include <cstdint>
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

uint32_t Little32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The first image of an icon file held in memory: its data and its size in
// pixels. The directory is reserved 0, type 1, a count, then 16-byte entries
// of width, height (0 meaning 256), ..., data length, data offset.
bool FirstIconImage(const unsigned char* bytes, size_t size, const unsigned char** dataOut,
                    DWORD* lengthOut, int* widthOut, int* heightOut) {
  if (bytes == nullptr || size < 6 + 16 || bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 ||
      bytes[3] != 0 || (bytes[4] == 0 && bytes[5] == 0)) {
    return false;
  }
  DWORD length = Little32(bytes + 14);
  DWORD offset = Little32(bytes + 18);
  if (length == 0 || offset > size || length > size - offset) return false;
  *dataOut = bytes + offset;
  *lengthOut = length;
  *widthOut = bytes[6] == 0 ? 256 : bytes[6];
  *heightOut = bytes[7] == 0 ? 256 : bytes[7];
  return true;
}

HBITMAP CreateDib(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// The icon's picture on the colour of dialog faces, for an image control.
HBITMAP IconPicture(HICON icon, int width, int height) {
  HBITMAP bitmap = CreateDib(width, height);
  HDC dc = bitmap == nullptr ? nullptr : CreateCompatibleDC(nullptr);
  if (dc == nullptr) return bitmap;
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
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
  HBITMAP bitmap = CreateDib(width, height);
  if (bitmap == nullptr) return false;
  d.images[number].bitmap = bitmap;
  return true;
}

bool CreateIconImage(int number, const unsigned char* bytes, size_t size) {
  const unsigned char* data = nullptr;
  DWORD length = 0;
  int width = 0, height = 0;
  if (!FirstIconImage(bytes, size, &data, &length, &width, &height)) return false;
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data), length, TRUE, 0x00030000, width,
                                        height, LR_DEFAULTCOLOR);
  if (icon == nullptr) return false;
  d.images[number].icon = icon;
  d.images[number].bitmap = IconPicture(icon, width, height);
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
