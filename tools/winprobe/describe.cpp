#include <windows.h>
// The system headers below need windows.h before them.
#include <commctrl.h>

#include <cstring>

#include "out.h"
#include "probe.h"

namespace {

// Every message here waits at most this long for a hung program.
constexpr UINT kSendTimeoutMs = 2000;

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

void OutFlag(const char* key, bool value) {
  OutInt(key, value ? 1 : 0);
}

const char* ButtonType(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
      return "pushbutton";
    case BS_DEFPUSHBUTTON:
      return "defpushbutton";
    case BS_CHECKBOX:
      return "checkbox";
    case BS_AUTOCHECKBOX:
      return "autocheckbox";
    case BS_RADIOBUTTON:
      return "radiobutton";
    case BS_3STATE:
      return "3state";
    case BS_AUTO3STATE:
      return "auto3state";
    case BS_GROUPBOX:
      return "groupbox";
    case BS_AUTORADIOBUTTON:
      return "autoradiobutton";
    default:
      return "other";
  }
}

// The fields that only make sense for one class of control.
void OutClassFields(HWND control, const char* className, DWORD style) {
  if (_stricmp(className, "Edit") == 0) {
    OutFlag("readonly", (style & ES_READONLY) != 0);
    OutFlag("multiline", (style & ES_MULTILINE) != 0);
  } else if (_stricmp(className, "Button") == 0) {
    OutStr("type", ButtonType(style));
    OutInt("checked", Send(control, BM_GETCHECK, 0, 0));
  } else if (_stricmp(className, "Static") == 0) {
    OutInt("sstype", style & SS_TYPEMASK);
    OutFlag("border", (style & (WS_BORDER | SS_SUNKEN)) != 0);
    OutFlag("image", Send(control, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0);
  } else if (_stricmp(className, UPDOWN_CLASSA) == 0) {
    HWND buddy = reinterpret_cast<HWND>(Send(control, UDM_GETBUDDY, 0, 0));
    OutInt("buddy", buddy != nullptr ? GetDlgCtrlID(buddy) : -1);
    OutFlag("alignright", (style & UDS_ALIGNRIGHT) != 0);
    OutFlag("alignleft", (style & UDS_ALIGNLEFT) != 0);
    OutFlag("setbuddyint", (style & UDS_SETBUDDYINT) != 0);
    OutInt("pos", Send(control, UDM_GETPOS32, 0, 0));
    RemoteBlock block;
    if (RemoteOpen(control, 2 * sizeof(INT), &block)) {
      INT* remote = static_cast<INT*>(block.address);
      Send(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(remote),
           reinterpret_cast<LPARAM>(remote + 1));
      INT range[2] = {0, 0};
      if (RemoteRead(&block, range, sizeof range)) {
        OutInt("min", range[0]);
        OutInt("max", range[1]);
      }
      RemoteClose(&block);
    }
  } else if (_stricmp(className, PROGRESS_CLASSA) == 0) {
    OutFlag("smooth", (style & PBS_SMOOTH) != 0);
    OutInt("pos", Send(control, PBM_GETPOS, 0, 0));
    OutInt("min", Send(control, PBM_GETRANGE, TRUE, 0));
    OutInt("max", Send(control, PBM_GETRANGE, FALSE, 0));
  }
}

struct ControlWalk {
  HWND top;
};

BOOL CALLBACK PrintControl(HWND control, LPARAM param) {
  const ControlWalk* walk = reinterpret_cast<const ControlWalk*>(param);
  char className[128];
  GetClassNameA(control, className, sizeof className);
  char text[1024] = "";
  Send(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  text[sizeof text - 1] = '\0';
  RECT rect;
  GetWindowRect(control, &rect);
  HWND parent = GetParent(control);
  DWORD style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));

  OutBegin("control");
  OutHex("hwnd", reinterpret_cast<UINT_PTR>(control));
  OutInt("id", GetDlgCtrlID(control));
  OutStr("class", className);
  OutStr("text", text);
  OutClientRect("rect", walk->top, rect);
  OutInt("parent", parent == walk->top ? 0 : GetDlgCtrlID(parent));
  OutHex("style", style);
  OutFlag("visible", IsWindowVisible(control) != FALSE);
  OutFlag("enabled", IsWindowEnabled(control) != FALSE);
  OutClassFields(control, className, style);
  OutEnd();
  return TRUE;
}

}  // namespace

void OutClientRect(const char* key, HWND top, RECT screen) {
  POINT origin = {0, 0};
  ClientToScreen(top, &origin);
  OutRect(key, screen.left - origin.x, screen.top - origin.y, screen.right - screen.left,
          screen.bottom - screen.top);
}

void PrintWindow(HWND hwnd) {
  char title[512], className[128];
  GetWindowTextA(hwnd, title, sizeof title);
  GetClassNameA(hwnd, className, sizeof className);
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
  DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  RECT outer, client;
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);

  // The frame and caption of this style with no menu: whatever else lies
  // between the outer and the client height is the menu bar.
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int outerHeight = outer.bottom - outer.top;
  int menuBar = outerHeight - client.bottom - (frame.bottom - frame.top);

  OutBegin("window");
  OutHex("hwnd", reinterpret_cast<UINT_PTR>(hwnd));
  OutInt("pid", pid);
  OutInt("tid", tid);
  OutStr("title", title);
  OutStr("class", className);
  OutRect("outer", outer.left, outer.top, outer.right - outer.left, outerHeight);
  OutRect("client", origin.x, origin.y, client.right, client.bottom);
  OutInt("menubar", menuBar);
  OutHex("style", style);
  OutHex("exstyle", exStyle);
  OutFlag("caption", (style & WS_CAPTION) == WS_CAPTION);
  OutFlag("sysmenu", (style & WS_SYSMENU) != 0);
  OutFlag("minimizebox", (style & WS_MINIMIZEBOX) != 0);
  OutFlag("maximizebox", (style & WS_MAXIMIZEBOX) != 0);
  OutFlag("thickframe", (style & WS_THICKFRAME) != 0);
  OutFlag("visible", IsWindowVisible(hwnd) != FALSE);
  OutFlag("iconic", IsIconic(hwnd) != FALSE);
  OutFlag("zoomed", IsZoomed(hwnd) != FALSE);
  OutFlag("enabled", IsWindowEnabled(hwnd) != FALSE);
  OutFlag("active", WindowIsActive(hwnd));
  OutHex("owner", reinterpret_cast<UINT_PTR>(GetWindow(hwnd, GW_OWNER)));
  OutEnd();
}

void PrintControls(HWND top) {
  ControlWalk walk = {top};
  EnumChildWindows(top, PrintControl, reinterpret_cast<LPARAM>(&walk));
}
