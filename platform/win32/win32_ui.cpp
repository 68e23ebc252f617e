// win32 backend: windows, controls, menus, status bar, tray, timer, the event
// wait and the clock.
//
// [x] top-level windows by number, show/hide/restore/activate
// [x] controls: static, image, spin (edit + up-down), check box, read-only
//     field, push button, link
// [x] menu bar built in place, check marks, grey state, texts, system menu Close
// [x] status bar with fields and a smooth progress bar
// [x] tray icon with tooltip, re-added when the shell restarts
// [x] window timer, event wait with a time limit, the start-up drain
// [x] local clock as a date value
//
// The window procedures turn the messages the program acts on into events
// in a queue; WaitEvent hands them to the event loop one at a time.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <deque>
#include <map>
#include <mutex>
#include <string>

// windows.h makes YieldProcessor a macro; the seam has a function of that name.
#undef YieldProcessor
#include "platform/platform.h"
#include "platform/win32/win32_images.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
// WM_APP + 2 is the loop's poll message and is never used for anything else.
constexpr UINT kSoundChosenMessage = WM_APP + 3;
constexpr char kWindowClass[] = "tessivar.window";
constexpr char kLinkClass[] = "tessivar.link";
constexpr int kStatusBarId = 0x7f00;
constexpr int kNoId = 0xffff;  // controls without an id of their own

struct Event {
  int code;
  int item;
  std::string text;
};

struct TrayIcon {
  int window;
  int image;
  std::string tooltip;
};

struct Backend {
  HINSTANCE instance = nullptr;
  DWORD uiThread = 0;
  UINT taskbarCreated = 0;

  std::mutex windowsMutex;  // ForegroundWindow is asked from the file dialog's thread
  std::map<int, HWND> windows;

  std::deque<Event> events;
  bool draining = false;
  Event last{0, 0, {}};

  std::map<int, HWND> controls;  // control id -> handle (the edit field of a spin)
  std::map<int, HWND> spinArrows;

  HMENU menuBar = nullptr;
  std::vector<HMENU> menuStack;

  HWND statusBar = nullptr;
  HWND progressBar = nullptr;
  int progressField = 0;

  std::map<int, TrayIcon> trayIcons;
};

Backend b;

void Record(int code, int item, const std::string& text = {}) {
  if (!b.draining) b.events.push_back(Event{code, item, text});
}

HFONT GuiFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

DWORD StyleBits(unsigned style) {
  DWORD bits = WS_OVERLAPPED;
  if (style & platform::kStyleCaption) bits |= WS_CAPTION;
  if (style & platform::kStyleSysMenu) bits |= WS_SYSMENU;
  if (style & platform::kStyleMinimizeBox) bits |= WS_MINIMIZEBOX;
  if (style & platform::kStyleMaximizeBox) bits |= WS_MAXIMIZEBOX;
  return bits;
}

// The program carries no manifest asking for the themed common controls, so
// Windows draws its status bar and progress bar in the classic style. Wine
// themes them all the same. A class list that names no class turns the theme
// off for one control (an empty text would do on Windows, but Wine refuses
// it), so Wine draws them classic too; a themed status bar also costs Wine
// about three times as much to repaint, which the live count does after
// every pulse.
void DrawClassic(HWND control) {
  SetWindowTheme(control, L" ", L" ");
}

void PlaceProgressBar() {
  if (b.statusBar == nullptr || b.progressBar == nullptr) return;
  RECT r;
  if (SendMessageA(b.statusBar, SB_GETRECT, b.progressField, reinterpret_cast<LPARAM>(&r))) {
    MoveWindow(b.progressBar, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

bool AddTrayIconNow(int id, const TrayIcon& icon) {
  HWND hwnd = win32::WindowHandle(icon.window);
  if (hwnd == nullptr) return false;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd;
  data.uID = static_cast<UINT>(id);
  data.uFlags = NIF_MESSAGE | NIF_ICON;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = win32::ImageIcon(icon.image);
  return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

// Records the chosen sound's path and frees the copy PostSoundChosen made.
void TakeSoundChosen(LPARAM text) {
  std::string* path = reinterpret_cast<std::string*>(text);
  Record(platform::kEventSoundChosen, 0, *path);
  delete path;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  int number = win32::WindowNumber(hwnd);
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0) {
        Record(platform::kEventMenu, LOWORD(wParam));
      } else {
        Record(platform::kEventControl, LOWORD(wParam));
      }
      return 0;
    case WM_CLOSE:
      Record(platform::kEventClose, number);
      return 0;  // the program decides what a close request does
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) Record(platform::kEventMinimised, number);
      if (number == 0 && b.statusBar != nullptr) {
        SendMessageA(b.statusBar, WM_SIZE, 0, 0);
        PlaceProgressBar();
      }
      break;
    case WM_TIMER:
      Record(platform::kEventTimer, static_cast<int>(wParam));
      return 0;
    case kTrayMessage:
      switch (lParam) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
          Record(platform::kEventTray, static_cast<int>(wParam));
          break;
        default:
          break;
      }
      return 0;
    case kSoundChosenMessage:
      TakeSoundChosen(lParam);
      return 0;
    case WM_APP + 2:
      Record(platform::kEventPoll, 0);
      return 0;
    default:
      if (b.taskbarCreated != 0 && message == b.taskbarCreated) {
        Record(platform::kEventTrayLost, 0);
        return 0;
      }
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The link: its text on the window's background, underlined, black, and
// blue under the pointer with a pointing hand; a left-button press and
// release on it reports to the parent like a button. Its state lives in the
// window's user data.
constexpr LONG_PTR kLinkHover = 1;
constexpr LONG_PTR kLinkPressed = 2;

void SetLinkState(HWND hwnd, LONG_PTR state) {
  LONG_PTR before = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, state);
  if ((before ^ state) & kLinkHover) InvalidateRect(hwnd, nullptr, TRUE);
}

void PaintLink(HWND hwnd, bool hover) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  LOGFONTA font{};
  GetObjectA(GuiFont(), sizeof font, &font);
  font.lfUnderline = TRUE;
  HFONT underlined = CreateFontIndirectA(&font);
  HGDIOBJ old = SelectObject(dc, underlined);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, hover ? RGB(0, 0, 255) : RGB(0, 0, 0));
  char text[512];
  int length = GetWindowTextA(hwnd, text, sizeof text);
  DrawTextA(dc, text, length, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(underlined);
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LONG_PTR state = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  switch (message) {
    case WM_PAINT:
      PaintLink(hwnd, (state & kLinkHover) != 0);
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_MOUSEMOVE:
      if (!(state & kLinkHover)) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        SetLinkState(hwnd, state | kLinkHover);
      }
      return 0;
    case WM_MOUSELEAVE:
      // A press that leaves the link is no click on it.
      SetLinkState(hwnd, 0);
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_HAND));
      return TRUE;
    case WM_LBUTTONDOWN:
      SetLinkState(hwnd, state | kLinkPressed);
      return 0;
    case WM_LBUTTONUP:
      if (!(state & kLinkPressed)) return 0;
      SetLinkState(hwnd, state & ~kLinkPressed);
      SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  WNDCLASSEXA window{};
  window.cbSize = sizeof window;
  window.style = CS_DBLCLKS;
  window.lpfnWndProc = WindowProc;
  window.hInstance = b.instance;
  window.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpszClassName = kWindowClass;
  RegisterClassExA(&window);

  WNDCLASSEXA link{};
  link.cbSize = sizeof link;
  link.lpfnWndProc = LinkProc;
  link.hInstance = b.instance;
  link.hCursor = LoadCursor(nullptr, IDC_HAND);
  link.lpszClassName = kLinkClass;
  RegisterClassExA(&link);
}

void ForgetControlsOf(HWND window) {
  for (auto* map : {&b.controls, &b.spinArrows}) {
    for (auto it = map->begin(); it != map->end();) {
      it = GetParent(it->second) == window ? map->erase(it) : std::next(it);
    }
  }
}

HWND CreateChild(HWND parent, int id, DWORD exStyle, const char* className, DWORD style, int x,
                 int y, int width, int height, const std::string& text) {
  HWND hwnd = CreateWindowExA(
      exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), b.instance, nullptr);
  if (hwnd != nullptr) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  return hwnd;
}

int Deliver(const Event& event) {
  b.last = event;
  return event.code;
}

int TakeEvent() {
  Event event = b.events.front();
  b.events.pop_front();
  return Deliver(event);
}

void Dispatch(MSG* msg) {
  if (msg->hwnd == nullptr) {
    // Only the chosen sound is posted to the thread itself.
    if (msg->message == kSoundChosenMessage) TakeSoundChosen(msg->lParam);
    return;
  }
  TranslateMessage(msg);
  DispatchMessageA(msg);
}

// The live count's star gauge grows by a character per pulse, to hundreds of
// thousands of characters in a busy minute. The status bar converts, compares
// with the old text (a locale-aware comparison) and lays out every character
// it is given, several times a second, although only the start of the text
// fits into the bar. No bar is wider than the desktop, and no character of a
// user-interface font is narrower than half a pixel per byte it takes (a
// blank: one byte, three pixels; an ideograph: at most three bytes, ten
// pixels and more), so nothing past two bytes per pixel of the desktop's
// width can ever be seen; the rest is not handed over. (The bar's own width
// would not do: it is 0 while the window is minimised, and the text stays
// after a restore.) A text with a tab is given whole, as tabs move the parts
// after them. Asking for the desktop's width costs Wine three trips to its
// server, so a text no longer than the cut on a 1024-pixel desktop (every
// text but the gauge of a busy minute) is given whole without asking: a
// whole text is always right, the cut only saves work.
std::string VisiblePart(const std::string& text) {
  constexpr size_t kNeverCut = 2 * 1024 + 4;
  if (text.size() <= kNeverCut) return text;
  int desktop = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  if (desktop <= 0) desktop = 4096;
  const size_t limit = 2 * static_cast<size_t>(desktop) + 4;
  if (text.size() <= limit || text.find('\t') != std::string::npos) return text;
  return text.substr(0, limit);
}

}  // namespace

namespace win32 {

HINSTANCE Instance() {
  return b.instance;
}

HWND WindowHandle(int number) {
  std::lock_guard<std::mutex> hold(b.windowsMutex);
  auto it = b.windows.find(number);
  return it == b.windows.end() ? nullptr : it->second;
}

int WindowNumber(HWND hwnd) {
  std::lock_guard<std::mutex> hold(b.windowsMutex);
  for (const auto& [number, handle] : b.windows) {
    if (handle == hwnd) return number;
  }
  return -1;
}

HWND ControlHandle(int id) {
  auto it = b.controls.find(id);
  return it == b.controls.end() ? nullptr : it->second;
}

void RegisterControl(int window, int id, HWND hwnd) {
  (void)window;
  b.controls[id] = hwnd;
}

}  // namespace win32

namespace platform {

// Process

void InitializePlatform() {
  win32::TrimThreadStack();
  b.instance = GetModuleHandleA(nullptr);
  b.uiThread = GetCurrentThreadId();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  b.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  RegisterClasses();
}

void EndProcess(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

// Events

int WaitEvent(int ms) {
  if (!b.events.empty()) return TakeEvent();
  // The wait returns at once when a message is already queued, seen or not
  // (MWMO_INPUTAVAILABLE), so no look into the queue is needed before it:
  // an idle turn, five a second, then costs a single trip to the system.
  MSG msg;
  DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                           MWMO_INPUTAVAILABLE);
  if (woke == WAIT_TIMEOUT || !PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // A message sent from another thread is handled inside PeekMessage
    // and may have recorded an event of its own.
    if (!b.events.empty()) return TakeEvent();
    return Deliver(Event{kEventNone, 0, {}});
  }
  Dispatch(&msg);
  if (!b.events.empty()) return TakeEvent();
  return Deliver(Event{kEventOther, 0, {}});
}

int EventItem() {
  return b.last.item;
}

std::string EventText() {
  return b.last.text;
}

bool ProcessPendingEvent() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  b.draining = true;
  Dispatch(&msg);
  b.draining = false;
  return true;
}

void YieldProcessor() {
  Sleep(0);
}

void PostSoundChosen(const std::string& path) {
  std::string* copy = new std::string(path);
  LPARAM text = reinterpret_cast<LPARAM>(copy);
  // Posted to the main window, not to the thread: a modal loop (a menu held
  // open, the window being dragged) dispatches messages without a window to
  // nobody, and the path would be lost.
  HWND main = win32::WindowHandle(0);
  bool posted = main != nullptr
                    ? PostMessageA(main, kSoundChosenMessage, 0, text) != FALSE
                    : PostThreadMessageA(b.uiThread, kSoundChosenMessage, 0, text) != FALSE;
  if (!posted) delete copy;
}

// Windows and controls

void ScreenSize(int* widthOut, int* heightOut) {
  *widthOut = GetSystemMetrics(SM_CXSCREEN);
  *heightOut = GetSystemMetrics(SM_CYSCREEN);
}

void OuterSizeForClient(unsigned style, int clientWidth, int clientHeight, int* widthOut,
                        int* heightOut) {
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&r, StyleBits(style), FALSE);
  *widthOut = r.right - r.left;
  *heightOut = r.bottom - r.top;
}

bool ActiveWindowRect(Rect* rectOut) {
  HWND active = GetActiveWindow();
  RECT r;
  if (win32::WindowNumber(active) < 0 || !GetWindowRect(active, &r)) return false;
  *rectOut = Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  return true;
}

bool CreateTopWindow(int number, const std::string& title, unsigned style, int x, int y,
                     int clientWidth, int clientHeight) {
  CloseWindow(number);
  int width = 0, height = 0;
  OuterSizeForClient(style, clientWidth, clientHeight, &width, &height);
  HWND hwnd = CreateWindowExA(0, kWindowClass, title.c_str(), StyleBits(style), x, y, width, height,
                              nullptr, nullptr, b.instance, nullptr);
  if (hwnd == nullptr) return false;
  {
    std::lock_guard<std::mutex> hold(b.windowsMutex);
    b.windows[number] = hwnd;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return true;
}

bool WindowExists(int number) {
  return win32::WindowHandle(number) != nullptr;
}

void CloseWindow(int number) {
  HWND hwnd = win32::WindowHandle(number);
  if (hwnd == nullptr) return;
  ForgetControlsOf(hwnd);
  win32::ReleaseBrowsersOf(hwnd);
  if (number == 0) {
    b.menuBar = nullptr;
    b.menuStack.clear();
    b.statusBar = nullptr;
    b.progressBar = nullptr;
  }
  {
    std::lock_guard<std::mutex> hold(b.windowsMutex);
    b.windows.erase(number);
  }
  DestroyWindow(hwnd);
}

void SetWindowIcon(int number, int image) {
  HWND hwnd = win32::WindowHandle(number);
  HICON icon = win32::ImageIcon(image);
  if (hwnd == nullptr || icon == nullptr) return;
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void DisableCloseCommand(int number) {
  HWND hwnd = win32::WindowHandle(number);
  if (hwnd == nullptr) return;
  EnableMenuItem(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

void HideWindow(int number) {
  if (HWND hwnd = win32::WindowHandle(number)) ShowWindow(hwnd, SW_HIDE);
}

void ShowWindowAsBefore(int number) {
  if (HWND hwnd = win32::WindowHandle(number)) ShowWindow(hwnd, SW_SHOW);
}

void RestoreWindow(int number) {
  if (HWND hwnd = win32::WindowHandle(number)) ShowWindow(hwnd, SW_RESTORE);
}

void ActivateWindow(int number) {
  HWND hwnd = win32::WindowHandle(number);
  if (hwnd == nullptr) return;
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
}

int ForegroundWindow() {
  return win32::WindowNumber(GetForegroundWindow());
}

bool CreateControl(int window, int id, ControlKind kind, int x, int y, int width, int height,
                   const std::string& text) {
  HWND parent = win32::WindowHandle(window);
  if (parent == nullptr) return false;
  int childId = id < 0 ? kNoId : id;
  HWND hwnd = nullptr;
  switch (kind) {
    case kControlStatic:
      hwnd = CreateChild(parent, childId, 0, "STATIC", SS_LEFT, x, y, width, height, text);
      break;
    case kControlImage:
      hwnd = CreateChild(parent, childId, 0, "STATIC", SS_BITMAP, x, y, width, height, text);
      break;
    case kControlSpin: {
      // The number field takes the control's width less the arrows, which sit
      // at its right end, as wide as half its height.
      int arrowsWidth = height / 2;
      hwnd = CreateChild(parent, childId, WS_EX_CLIENTEDGE, "EDIT",
                         ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, x, y,
                         width - arrowsWidth, height, text);
      HWND arrows = CreateChild(parent, kNoId, 0, UPDOWN_CLASSA,
                                UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                x + width - arrowsWidth, y, arrowsWidth, height, "");
      if (hwnd != nullptr && arrows != nullptr) {
        SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd), 0);
        // The arrows widen themselves to their default size when they get
        // a buddy: put them back into the control's own rectangle.
        MoveWindow(arrows, x + width - arrowsWidth, y, arrowsWidth, height, TRUE);
        b.spinArrows[id] = arrows;
      }
      break;
    }
    case kControlCheckBox:
      hwnd = CreateChild(parent, childId, 0, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, x, y, width,
                         height, text);
      break;
    case kControlReadOnly:
      hwnd = CreateChild(parent, childId, WS_EX_CLIENTEDGE, "EDIT", ES_READONLY | ES_AUTOHSCROLL, x,
                         y, width, height, text);
      break;
    case kControlButton:
      hwnd = CreateChild(parent, childId, 0, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, x, y, width,
                         height, text);
      break;
    case kControlLink:
      hwnd = CreateChild(parent, childId, 0, kLinkClass, 0, x, y, width, height, text);
      break;
  }
  if (hwnd == nullptr) return false;
  if (id >= 0) b.controls[id] = hwnd;
  return true;
}

bool ControlExists(int id) {
  return win32::ControlHandle(id) != nullptr;
}

void SetControlText(int id, const std::string& text) {
  if (HWND hwnd = win32::ControlHandle(id)) SetWindowTextA(hwnd, text.c_str());
}

std::string ControlText(int id) {
  HWND hwnd = win32::ControlHandle(id);
  if (hwnd == nullptr) return {};
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()))));
  return text;
}

void SetSpinRange(int id, int low, int high) {
  auto it = b.spinArrows.find(id);
  if (it != b.spinArrows.end()) SendMessageA(it->second, UDM_SETRANGE32, low, high);
}

void SetSpinValue(int id, int value) {
  auto it = b.spinArrows.find(id);
  if (it != b.spinArrows.end()) SendMessageA(it->second, UDM_SETPOS32, 0, value);
}

int SpinValue(int id) {
  auto it = b.spinArrows.find(id);
  if (it == b.spinArrows.end()) return 0;
  // The arrows read the field's text; a text that is no number in range
  // leaves the last valid position, which stays within the range.
  int low = 0, high = 0;
  SendMessageA(it->second, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
               reinterpret_cast<LPARAM>(&high));
  int value = static_cast<int>(SendMessageA(it->second, UDM_GETPOS32, 0, 0));
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

void SetCheckBox(int id, bool ticked) {
  if (HWND hwnd = win32::ControlHandle(id)) {
    SendMessageA(hwnd, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool CheckBoxTicked(int id) {
  HWND hwnd = win32::ControlHandle(id);
  return hwnd != nullptr && SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetImageControlPicture(int id, int image) {
  HWND hwnd = win32::ControlHandle(id);
  HBITMAP bitmap = win32::ImageBitmap(image);
  if (hwnd == nullptr || bitmap == nullptr) return;
  SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  // The same bitmap is handed over after every redraw: repaint it.
  InvalidateRect(hwnd, nullptr, FALSE);
}

// Menus

bool CreateMenuBar(int window) {
  HWND hwnd = win32::WindowHandle(window);
  if (hwnd == nullptr) return false;
  HMENU bar = CreateMenu();
  if (bar == nullptr) return false;
  if (!SetMenu(hwnd, bar)) {
    DestroyMenu(bar);
    return false;
  }
  b.menuBar = bar;
  b.menuStack.assign(1, bar);
  return true;
}

void BeginSubmenu(const std::string& text) {
  if (b.menuStack.empty()) return;
  HMENU popup = CreatePopupMenu();
  AppendMenuA(b.menuStack.back(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
              text.c_str());
  b.menuStack.push_back(popup);
}

void EndSubmenu() {
  if (b.menuStack.size() > 1) b.menuStack.pop_back();
}

void AppendMenuItem(int id, const std::string& text) {
  if (b.menuStack.empty()) return;
  AppendMenuA(b.menuStack.back(), MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
}

void SetMenuItemEnabled(int id, bool enabled) {
  if (b.menuBar == nullptr) return;
  EnableMenuItem(b.menuBar, static_cast<UINT>(id),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetMenuItemCheck(int id, bool checked) {
  if (b.menuBar == nullptr) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (!GetMenuItemInfoA(b.menuBar, static_cast<UINT>(id), FALSE, &info)) return;
  info.fState = checked ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
  SetMenuItemInfoA(b.menuBar, static_cast<UINT>(id), FALSE, &info);
}

void SetMenuItemLabel(int id, const std::string& text) {
  if (b.menuBar == nullptr) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (!GetMenuItemInfoA(b.menuBar, static_cast<UINT>(id), FALSE, &info)) return;
  std::string copy = text;
  info.fMask = MIIM_STRING;
  info.dwTypeData = &copy[0];
  info.cch = static_cast<UINT>(copy.size());
  SetMenuItemInfoA(b.menuBar, static_cast<UINT>(id), FALSE, &info);
}

void RedrawMenuBar(int window) {
  if (HWND hwnd = win32::WindowHandle(window)) DrawMenuBar(hwnd);
}

// Status bar

bool CreateStatusBar(int window) {
  HWND hwnd = win32::WindowHandle(window);
  if (hwnd == nullptr) return false;
  b.statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", hwnd, kStatusBarId);
  if (b.statusBar == nullptr) return false;
  DrawClassic(b.statusBar);
  return true;
}

void SetStatusFields(const std::vector<int>& rightEdges) {
  if (b.statusBar == nullptr || rightEdges.empty()) return;
  std::vector<int> edges = rightEdges;
  SendMessageA(b.statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  PlaceProgressBar();
}

void AddStatusProgressBar(int field, int low, int high, int position) {
  if (b.statusBar == nullptr) return;
  b.progressField = field;
  b.progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0,
                                  0, 0, b.statusBar, nullptr, b.instance, nullptr);
  if (b.progressBar == nullptr) return;
  DrawClassic(b.progressBar);
  PlaceProgressBar();
  SendMessageA(b.progressBar, PBM_SETRANGE, 0, MAKELPARAM(low, high));
  SendMessageA(b.progressBar, PBM_SETPOS, position, 0);
}

void SetStatusField(int field, const std::string& text) {
  if (b.statusBar == nullptr) return;
  const std::string shown = VisiblePart(text);
  SendMessageA(b.statusBar, SB_SETTEXTA, static_cast<WPARAM>(field),
               reinterpret_cast<LPARAM>(shown.c_str()));
}

// Tray

bool AddTrayIcon(int window, int id, int image) {
  TrayIcon icon{window, image, {}};
  if (!AddTrayIconNow(id, icon)) return false;
  b.trayIcons[id] = icon;
  return true;
}

void SetTrayTooltip(int id, const std::string& text) {
  auto it = b.trayIcons.find(id);
  if (it == b.trayIcons.end()) return;
  HWND hwnd = win32::WindowHandle(it->second.window);
  if (hwnd == nullptr) return;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd;
  data.uID = static_cast<UINT>(id);
  data.uFlags = NIF_TIP;
  lstrcpynA(data.szTip, text.c_str(), 64);  // at most 63 characters and the terminator
  Shell_NotifyIconA(NIM_MODIFY, &data);
  it->second.tooltip = text;
}

void RemoveTrayIcon(int id) {
  auto it = b.trayIcons.find(id);
  if (it == b.trayIcons.end()) return;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = win32::WindowHandle(it->second.window);
  data.uID = static_cast<UINT>(id);
  Shell_NotifyIconA(NIM_DELETE, &data);
  b.trayIcons.erase(it);
}

// Timer

bool StartTimer(int window, int id, int ms) {
  HWND hwnd = win32::WindowHandle(window);
  return hwnd != nullptr &&
         SetTimer(hwnd, static_cast<UINT_PTR>(id), static_cast<UINT>(ms), nullptr) != 0;
}

// Clock

int64_t LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  // Days since 1970-01-01 of the civil date, counted as if it were UTC.
  int64_t y = t.wYear - (t.wMonth <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yearOfEra = y - era * 400;
  int64_t m = t.wMonth;
  int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + t.wDay - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

}  // namespace platform
