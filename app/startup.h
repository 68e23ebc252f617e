// Start-up and shut-down of the process.
#pragma once

#include <string>

// Start-up steps 1 to 18: everything before the event loop.
void RunStartup();
// The process entry: start-up, the event loop, shut-down. Ends the process
// with exit code 0 (on the sim backend it returns after recording that).
void InitializeApplication();
// Releases what the process holds and ends it with exit code 0.
void ShutdownApplication();
// The screen's horizontal pixels per logical inch.
int QueryScreenDpi();
// Creates fonts 2 to 6, sized for `app.screenDpi`.
void CreateFonts();
// Creates image 0 (the chart surface) and image 1 (the first icon).
void CreateImages();
// Point size of a font whose size on a 96-DPI screen is k / 96 points: k / dpi
// rounded to the nearest whole number, halves to the even one.
int FontPointSize(int k, float dpi);
