// win32 backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

namespace platform {

// Fonts, images and drawing

int QueryScreenDpi() {
  return 0;
}

bool CreateDisplayFont(int number, const std::string& face, int points, bool bold, bool italic, bool underline) {
  (void)number; (void)face; (void)points; (void)bold; (void)italic; (void)underline;
  return false;
}

bool CreateImage(int number, int width, int height) {
  (void)number; (void)width; (void)height;
  return false;
}

bool CreateIconImage(int number, const unsigned char* bytes, size_t size) {
  (void)number; (void)bytes; (void)size;
  return false;
}

void FreeFontsAndImages() {
}

bool BeginDrawing(int image) {
  (void)image;
  return false;
}

void EndDrawing() {
}

void FillRectangle(int x, int y, int width, int height, Color color) {
  (void)x; (void)y; (void)width; (void)height; (void)color;
}

void SetFrontColor(Color color) {
  (void)color;
}

void SetBackColor(Color color) {
  (void)color;
}

void SelectFont(int number) {
  (void)number;
}

void DrawText(int x, int y, const std::string& text) {
  (void)x; (void)y; (void)text;
}

void DrawTextInColor(int x, int y, const std::string& text, Color color) {
  (void)x; (void)y; (void)text; (void)color;
}

void MeasureText(const std::string& text, int* widthOut, int* heightOut) {
  (void)text; (void)widthOut; (void)heightOut;
}

void DrawLine(int x0, int y0, int x1, int y1) {
  (void)x0; (void)y0; (void)x1; (void)y1;
}

void FillCircle(int cx, int cy, int radius) {
  (void)cx; (void)cy; (void)radius;
}

}  // namespace platform
