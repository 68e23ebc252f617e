#include <windows.h>
// The system headers below need windows.h before them.
#include <commctrl.h>

#include <cstring>

#include "out.h"
#include "probe.h"

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr int kTipText = 256;

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

struct TipSearch {
  HWND tray;
  HWND tips;
};

// The tray draws its icons itself, with no window of their own; what tells
// where each icon is (and whose it is) is the tooltip it gives each icon,
// whose tool rectangle is the icon's place and whose text is its tip.
BOOL CALLBACK MatchTips(HWND hwnd, LPARAM param) {
  TipSearch* search = reinterpret_cast<TipSearch*>(param);
  char className[64];
  GetClassNameA(hwnd, className, sizeof className);
  DWORD trayPid = 0, pid = 0;
  GetWindowThreadProcessId(search->tray, &trayPid);
  GetWindowThreadProcessId(hwnd, &pid);
  if (strcmp(className, TOOLTIPS_CLASSA) != 0 || pid != trayPid) return TRUE;
  search->tips = hwnd;
  return FALSE;
}

struct ToolAnswer {
  TTTOOLINFOA info;
  char text[kTipText];
};

void PrintIcons(HWND tray, HWND tips) {
  RemoteBlock block;
  if (!RemoteOpen(tips, sizeof(ToolAnswer), &block)) return;
  ToolAnswer* remote = static_cast<ToolAnswer*>(block.address);
  int count = static_cast<int>(Send(tips, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    ToolAnswer answer = {};
    answer.info.cbSize = sizeof answer.info;
    answer.info.lpszText = remote->text;
    if (!RemoteWrite(&block, &answer, sizeof answer)) break;
    if (!Send(tips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&remote->info))) continue;
    if (!RemoteRead(&block, &answer, sizeof answer)) break;
    if (answer.info.hwnd != tray) continue;
    answer.text[kTipText - 1] = '\0';
    RECT r = answer.info.rect;
    MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&r), 2);
    OutBegin("trayicon");
    OutInt("index", i);
    OutStr("tip", answer.text);
    OutRect("rect", r.left, r.top, r.right - r.left, r.bottom - r.top);
    OutEnd();
  }
  RemoteClose(&block);
}

}  // namespace

bool PrintTray() {
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (tray == nullptr) return false;
  RECT rect;
  GetWindowRect(tray, &rect);
  OutBegin("tray");
  OutHex("hwnd", reinterpret_cast<UINT_PTR>(tray));
  OutRect("rect", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  OutInt("visible", IsWindowVisible(tray) ? 1 : 0);
  OutEnd();
  TipSearch search = {tray, nullptr};
  EnumWindows(MatchTips, reinterpret_cast<LPARAM>(&search));
  if (search.tips != nullptr) PrintIcons(tray, search.tips);
  return true;
}
