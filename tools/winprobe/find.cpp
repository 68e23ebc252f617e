#include <cstring>

#include "out.h"
#include "probe.h"

namespace {

struct TitleSearch {
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM param) {
  TitleSearch* search = reinterpret_cast<TitleSearch*>(param);
  char text[512];
  GetWindowTextA(hwnd, text, sizeof text);
  if (strcmp(text, search->title) != 0) return TRUE;
  search->found = hwnd;
  return FALSE;
}

BOOL CALLBACK PrintOne(HWND hwnd, LPARAM) {
  char title[512], className[128];
  GetWindowTextA(hwnd, title, sizeof title);
  GetClassNameA(hwnd, className, sizeof className);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  OutBegin("top");
  OutHex("hwnd", reinterpret_cast<UINT_PTR>(hwnd));
  OutInt("pid", pid);
  OutStr("title", title);
  OutStr("class", className);
  OutInt("visible", IsWindowVisible(hwnd) ? 1 : 0);
  OutEnd();
  return TRUE;
}

bool StateReached(HWND hwnd, const char* state) {
  if (strcmp(state, "gone") == 0) return hwnd == nullptr;
  if (hwnd == nullptr) return false;
  if (strcmp(state, "exists") == 0) return true;
  if (strcmp(state, "visible") == 0) return IsWindowVisible(hwnd) != FALSE;
  if (strcmp(state, "hidden") == 0) return IsWindowVisible(hwnd) == FALSE;
  if (strcmp(state, "iconic") == 0) return IsIconic(hwnd) != FALSE;
  return WindowIsActive(hwnd);
}

}  // namespace

HWND FindTopWindow(const char* title) {
  TitleSearch search = {title, nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsKnownState(const char* state) {
  static const char* const kStates[] = {"exists", "gone", "visible", "hidden", "iconic", "active"};
  for (const char* known : kStates) {
    if (strcmp(state, known) == 0) return true;
  }
  return false;
}

// The active window of the window's own thread (GetActiveWindow only sees
// the caller's thread), and that thread's window must be in the foreground.
bool WindowIsActive(HWND hwnd) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return false;
  return info.hwndActive == hwnd && GetForegroundWindow() == hwnd;
}

bool WaitWindowState(const char* title, const char* state, int timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (StateReached(FindTopWindow(title), state)) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
    Sleep(20);
  }
}

void PrintTopWindows() {
  EnumWindows(PrintOne, 0);
}
