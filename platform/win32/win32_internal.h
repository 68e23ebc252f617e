// Shared state of the win32 backend's files (not part of the seam).
#pragma once

#include <windows.h>

namespace win32 {

// The module handle of the program.
HINSTANCE Instance();
// The window handle of program window `number`, or nullptr.
HWND WindowHandle(int number);
// The number of a program window, or -1 when `hwnd` is none of them.
int WindowNumber(HWND hwnd);
// The handle of control `id`, or nullptr.
HWND ControlHandle(int id);
// Records a control made outside win32_ui.cpp (the browser host) under `id`.
void RegisterControl(int window, int id, HWND hwnd);
// Shuts the browser controls hosted in `window` before it is destroyed.
void ReleaseBrowsersOf(HWND window);
// Lets the system drop the pages of the calling thread's stack that lie well
// below the current frame; called first thing on every thread.
void TrimThreadStack();

}  // namespace win32
