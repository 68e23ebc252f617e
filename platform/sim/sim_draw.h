// Test-facing controls of the sim backend: fonts, images and drawing.
//
// Images are real RGB rasters. Fonts have fixed metrics, the same for every
// face, so positions in tests are exact:
//   character height h = points x DPI / 72, to the nearest whole number
//                        (the DPI is sim::CurrentScreenDpi() when the font is made)
//   text cell height   = h + h / 6        (9 pt at 96 DPI: h 12, cell 14)
//   advance            = h / 2 + 1 for every character, so a text is
//                        length x advance wide ("00:00" in 9 pt: 35)
// A text cell is filled with the back colour; every character other than a
// blank then gets a solid block of ink in the text colour, columns 1 to
// advance - 2 and rows 2 to h - 1 of its cell; an underlined font also inks
// the cell's last row across its whole width. Italic and bold draw the same
// as plain. A font number that was never made draws and measures as a 9 pt
// font at 96 DPI.
// Lines light, along their longer axis, one pixel per step at the nearest
// pixel of the other axis, both end points included. A filled circle of
// radius r covers the pixels (x, y) with (x - cx)^2 + (y - cy)^2 <= r^2.
// Everything is clipped to the image.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

// Puts this part of the simulated system back to its state at boot: no
// fonts, no images, nothing drawn, drawing allowed.
void ResetDraw();

struct FontInfo {
  bool exists = false;
  std::string face;
  int points = 0;
  bool bold = false, italic = false, underline = false;
  int charHeight = 0, cellHeight = 0, advance = 0;
};
FontInfo Font(int number);

struct ImageInfo {
  bool exists = false;
  int width = 0, height = 0;
  bool fromIcon = false;  // made by CreateIconImage (only its size is decoded)
};
ImageInfo Image(int number);
// The colour of one pixel; black outside the image or for a missing image.
platform::Color Pixel(int image, int x, int y);
// Writes the image as an 8-bit RGB PNG; false when it does not exist or the
// file cannot be written.
bool WriteImagePng(int image, const std::string& path);

// One text drawn: where, in which font and colours, and its cell's size.
struct DrawnText {
  int image = -1;
  int x = 0, y = 0;
  std::string text;
  int font = 0;
  platform::Color color, back;
  int width = 0, height = 0;
};
// Texts drawn since the last successful BeginDrawing, in order.
std::vector<DrawnText> DrawnTexts();
// Successful BeginDrawing calls since boot.
int DrawingCount();
// Make BeginDrawing fail from now on (true) or succeed (false).
void FailDrawing(bool fail);

}  // namespace sim
