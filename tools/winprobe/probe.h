// The probe's parts: each reads one kind of thing a user sees in another
// program's windows and prints it as records (out.h).
#pragma once

#include <windows.h>

#include <cstddef>

// find.cpp: top-level windows by exact title.
HWND FindTopWindow(const char* title);
// Waits until the window named `title` is in `state` (exists, gone, visible,
// hidden, iconic, active); false after `timeoutMs`.
bool WaitWindowState(const char* title, const char* state, int timeoutMs);
bool IsKnownState(const char* state);
bool WindowIsActive(HWND hwnd);
void PrintTopWindows();

// describe.cpp: a window's frame and its child controls.
void PrintWindow(HWND hwnd);
void PrintControls(HWND top);
// Writes the fields of a rectangle given in screen coordinates, relative to
// the client area of `top`.
void OutClientRect(const char* key, HWND top, RECT screen);

// remote.cpp: a block of memory in the process that owns a window, for
// messages whose pointers are not carried across processes.
struct RemoteBlock {
  HANDLE process;
  void* address;
  size_t size;
};
bool RemoteOpen(HWND hwnd, size_t size, RemoteBlock* blockOut);
bool RemoteRead(const RemoteBlock* block, void* dest, size_t size);
bool RemoteWrite(const RemoteBlock* block, const void* src, size_t size);
void RemoteClose(RemoteBlock* block);

// statusbar.cpp
bool PrintStatusBar(HWND top);

// menu.cpp: the menu bar or the system menu, read from inside the program by
// the helper DLL.
bool PrintMenus(HWND top, bool systemMenu, bool json);

// tray.cpp: the notification area of the Wine desktop's task bar.
bool PrintTray();
