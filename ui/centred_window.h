// Placing the auxiliary windows over the window the user is working in.
#pragma once

#include <string>

// Opens top-level window `number` centred over the active window: half the
// difference of the outer sizes from the active window's left and top edge,
// each made 0 when negative; at (0, 0) when no window is active. False when
// the window cannot be created.
bool OpenCentredWindow(int number, const std::string& title, unsigned style, int clientWidth,
                       int clientHeight);
