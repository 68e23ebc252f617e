// winprobe-target: a small window with the kinds of things the probe reads
// (menu bar with a submenu, check mark and grey item, greyed Close, controls,
// a two-part status bar with a progress bar, a tray icon that hides and shows
// the window). The probe's own check runs against it, so the harness is proven
// on a program whose every answer is known.
#include <windows.h>
// The system headers below need windows.h before them.
#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr char kTitle[] = "winprobe target";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kMenuPort = 5, kMenuGrey = 7, kMenuQuit = 9, kMenuAbout = 11;
constexpr int kStatic = 20, kField = 21, kCheck = 22, kSpin = 23, kSpinEdit = 24, kStatus = 30;
constexpr int kQuitExitCode = 3;

HWND gStatus;

HMENU BuildMenu() {
  HMENU ports = CreatePopupMenu();
  AppendMenuA(ports, MF_STRING | MF_CHECKED, kMenuPort, "COM5");
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(ports), "Ports");
  AppendMenuA(file, MF_STRING | MF_GRAYED, kMenuGrey, "Greyed");
  AppendMenuA(file, MF_STRING, kMenuQuit, "Quit");
  HMENU help = CreatePopupMenu();
  AppendMenuA(help, MF_STRING, kMenuAbout, "About");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
  return bar;
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w,
           int h, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void BuildControls(HWND window) {
  Child(window, "Static", "Level", 0, 10, 10, 60, 20, kStatic);
  Child(window, "Edit", "(default sound)", ES_READONLY | WS_BORDER, 80, 10, 200, 20, kField);
  Child(window, "Button", "Average", BS_AUTOCHECKBOX, 10, 40, 120, 20, kCheck);
  HWND edit = Child(window, "Edit", "0", WS_BORDER | ES_NUMBER, 10, 70, 80, 20, kSpinEdit);
  HWND spin = Child(window, UPDOWN_CLASSA, "", UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 0, 0, kSpin);
  SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageA(spin, UDM_SETRANGE32, 0, 10000);

  gStatus = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, kStatus);
  int rights[2] = {40, -1};
  SendMessageA(gStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
  SendMessageA(gStatus, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("Ready  two blanks"));
  RECT part;
  SendMessageA(gStatus, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
  HWND progress = Child(gStatus, PROGRESS_CLASSA, "", PBS_SMOOTH, part.left, part.top,
                        part.right - part.left, part.bottom - part.top, 0);
  SendMessageA(progress, PBM_SETRANGE32, 0, 100);
}

void TrayIcon(HWND window, DWORD action) {
  NOTIFYICONDATAA data = {};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpyA(data.szTip, kTitle);
  Shell_NotifyIconA(action, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kMenuQuit) PostQuitMessage(kQuitExitCode);
      if (LOWORD(wParam) == kMenuAbout) {
        SendMessageA(gStatus, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("About chosen"));
      }
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) ShowWindow(window, SW_HIDE);
      break;
    case kTrayMessage:
      if (lParam == WM_LBUTTONDOWN) {
        if (IsWindowVisible(window)) {
          ShowWindow(window, SW_HIDE);
        } else {
          ShowWindow(window, SW_SHOW);
          ShowWindow(window, SW_RESTORE);
          SetForegroundWindow(window);
        }
      }
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // "--load-management": load the system's management library first and keep
  // it, as COM keeps it once a program has made one management query; the
  // memory that this alone costs under a given system is then known.
  if (lstrcmpA(commandLine, "--load-management") == 0) {
    char system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH - 20) {
      lstrcatA(system, "\\wbem\\wbemprox.dll");
      LoadLibraryA(system);
    }
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "winprobe-target";
  RegisterClassA(&windowClass);

  // Client 600 x 300 before the menu bar, which then takes its height out of
  // the client area, as in the program under test.
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  RECT frame = {0, 0, 600, 300};
  AdjustWindowRect(&frame, style, FALSE);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, kTitle, style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  SetMenu(window, BuildMenu());
  BuildControls(window);
  ShowWindow(window, SW_SHOWNORMAL);
  TrayIcon(window, NIM_ADD);

  // "--wait-200ms": take messages as a program does that polls a device
  // whenever 200 ms pass without one, the floor of such a program's cost.
  const bool polling = lstrcmpA(commandLine, "--wait-200ms") == 0;
  MSG message = {};
  for (;;) {
    if (polling) {
      if (MsgWaitForMultipleObjectsEx(0, nullptr, 200, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
              WAIT_TIMEOUT ||
          !PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        continue;
      }
      if (message.message == WM_QUIT) break;
    } else if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  TrayIcon(window, NIM_DELETE);
  return static_cast<int>(message.wParam);
}
