// winprobe: run under the same Wine prefix as a program to print what its
// user sees (window frame, controls, status bar, menus, tray icon) and to act
// on it as the system would (close request, menu command, minimise).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "out.h"
#include "probe.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitTimeout = 3;

const char kUsage[] =
    "usage: winprobe [--json] COMMAND ARGS\n"
    "  windows                         every top-level window\n"
    "  window TITLE                    frame, size, style and state\n"
    "  controls TITLE                  child controls\n"
    "  status TITLE                    status bar parts, texts and children\n"
    "  menu TITLE | sysmenu TITLE      menu bar or system menu tree\n"
    "  tray                            icons in the task bar's notification area\n"
    "  wait TITLE STATE MS             STATE: exists gone visible hidden iconic active\n"
    "  close TITLE                     post WM_CLOSE\n"
    "  command TITLE ID                post WM_COMMAND of menu item ID\n"
    "  syscommand TITLE minimize|maximize|restore|close\n"
    "  press TITLE ID                  BM_CLICK on control ID\n"
    "TITLE is the exact window title. Exit: 0 done, 1 failed or not found,\n"
    "2 bad usage, 3 wait timed out.\n";

int Usage() {
  fputs(kUsage, stderr);
  return kExitUsage;
}

int Fail(const char* what, const char* title) {
  fprintf(stderr, "winprobe: %s: %s\n", what, title);
  return kExitFailed;
}

bool SysCommandCode(const char* name, WPARAM* codeOut) {
  static const struct {
    const char* name;
    WPARAM code;
  } kCodes[] = {{"minimize", SC_MINIMIZE},
                {"maximize", SC_MAXIMIZE},
                {"restore", SC_RESTORE},
                {"close", SC_CLOSE}};
  for (const auto& entry : kCodes) {
    if (strcmp(name, entry.name) == 0) {
      *codeOut = entry.code;
      return true;
    }
  }
  return false;
}

// Commands on one window: argv[0] is the command, argv[1] the title.
int RunWindowCommand(int argc, char** argv, bool json) {
  const char* command = argv[0];
  const char* title = argv[1];
  if (strcmp(command, "wait") == 0) {
    if (argc != 4 || !IsKnownState(argv[2])) return Usage();
    return WaitWindowState(title, argv[2], atoi(argv[3])) ? kExitOk : kExitTimeout;
  }
  HWND hwnd = FindTopWindow(title);
  if (hwnd == nullptr) return Fail("no window", title);
  bool ok = true;
  if (strcmp(command, "window") == 0 && argc == 2) {
    PrintWindow(hwnd);
  } else if (strcmp(command, "controls") == 0 && argc == 2) {
    PrintControls(hwnd);
  } else if (strcmp(command, "status") == 0 && argc == 2) {
    ok = PrintStatusBar(hwnd);
  } else if ((strcmp(command, "menu") == 0 || strcmp(command, "sysmenu") == 0) && argc == 2) {
    ok = PrintMenus(hwnd, command[0] == 's', json);
  } else if (strcmp(command, "close") == 0 && argc == 2) {
    ok = PostMessageA(hwnd, WM_CLOSE, 0, 0) != FALSE;
  } else if (strcmp(command, "command") == 0 && argc == 3) {
    // lParam 0: the command comes from a menu, not from a control.
    ok = PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), 0), 0) != FALSE;
  } else if (strcmp(command, "syscommand") == 0 && argc == 3) {
    WPARAM code = 0;
    if (!SysCommandCode(argv[2], &code)) return Usage();
    ok = PostMessageA(hwnd, WM_SYSCOMMAND, code, 0) != FALSE;
  } else if (strcmp(command, "press") == 0 && argc == 3) {
    HWND control = GetDlgItem(hwnd, atoi(argv[2]));
    if (control == nullptr) return Fail("no control", argv[2]);
    ok = PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
  } else {
    return Usage();
  }
  return ok ? kExitOk : Fail(command, title);
}

}  // namespace

int main(int argc, char** argv) {
  // Records end in "\n" alone, whatever the console's text mode would add.
  _setmode(_fileno(stdout), _O_BINARY);
  bool json = argc > 1 && strcmp(argv[1], "--json") == 0;
  if (json) {
    OutSetFormat(kOutJson);
    --argc;
    ++argv;
  }
  if (argc < 2) return Usage();
  if (strcmp(argv[1], "windows") == 0 && argc == 2) {
    PrintTopWindows();
    return kExitOk;
  }
  if (strcmp(argv[1], "tray") == 0 && argc == 2) {
    return PrintTray() ? kExitOk : Fail("no tray", "Shell_TrayWnd");
  }
  if (argc < 3) return Usage();
  return RunWindowCommand(argc - 1, argv + 1, json);
}
