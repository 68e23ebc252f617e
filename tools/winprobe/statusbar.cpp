#include <windows.h>
// The system headers below need windows.h before them.
#include <commctrl.h>

#include <cstring>

#include "out.h"
#include "probe.h"

namespace {

constexpr int kMaxParts = 64;
constexpr int kMaxText = 1024;
constexpr UINT kSendTimeoutMs = 2000;

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

// What a status bar message writes into the block, laid out once so that a
// single read brings every answer back.
struct StatusAnswers {
  INT rights[kMaxParts];
  RECT rect;
  char text[kMaxText];
};

struct PartRects {
  int count;
  RECT rects[kMaxParts];
};

struct ChildWalk {
  HWND bar;
  const PartRects* parts;
};

BOOL CALLBACK PrintChild(HWND child, LPARAM param) {
  const ChildWalk* walk = reinterpret_cast<const ChildWalk*>(param);
  if (GetParent(child) != walk->bar) return TRUE;
  char className[128];
  GetClassNameA(child, className, sizeof className);
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, walk->bar, reinterpret_cast<POINT*>(&rect), 2);
  POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  int part = -1;
  for (int i = 0; i < walk->parts->count; ++i) {
    if (PtInRect(&walk->parts->rects[i], centre)) part = i;
  }
  OutBegin("statuschild");
  OutInt("id", GetDlgCtrlID(child));
  OutStr("class", className);
  OutRect("rect", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  OutInt("part", part);
  OutInt("visible", IsWindowVisible(child) ? 1 : 0);
  OutEnd();
  return TRUE;
}

}  // namespace

bool PrintStatusBar(HWND top) {
  HWND bar = FindWindowExA(top, nullptr, STATUSCLASSNAMEA, nullptr);
  if (bar == nullptr) return false;
  RemoteBlock block;
  if (!RemoteOpen(bar, sizeof(StatusAnswers), &block)) return false;
  StatusAnswers* remote = static_cast<StatusAnswers*>(block.address);
  StatusAnswers answers;

  RECT barRect;
  GetWindowRect(bar, &barRect);
  OutBegin("statusbar");
  OutInt("id", GetDlgCtrlID(bar));
  OutClientRect("rect", top, barRect);
  int count =
      static_cast<int>(Send(bar, SB_GETPARTS, kMaxParts, reinterpret_cast<LPARAM>(remote->rights)));
  OutInt("parts", count);
  OutEnd();
  if (count > kMaxParts) count = kMaxParts;
  if (!RemoteRead(&block, answers.rights, sizeof answers.rights)) count = 0;

  PartRects parts = {count, {}};
  for (int i = 0; i < count; ++i) {
    Send(bar, SB_GETRECT, i, reinterpret_cast<LPARAM>(&remote->rect));
    // The length comes first so that a text longer than the block is cut,
    // never written past its end.
    int length = LOWORD(Send(bar, SB_GETTEXTLENGTHA, i, 0));
    char text[kMaxText] = "";
    if (length < kMaxText) {
      Send(bar, SB_GETTEXTA, i, reinterpret_cast<LPARAM>(remote->text));
    }
    if (RemoteRead(&block, &answers, sizeof answers)) {
      parts.rects[i] = answers.rect;
      if (length < kMaxText) {
        memcpy(text, answers.text, length);
        text[length] = '\0';
      }
    }
    RECT r = parts.rects[i];
    OutBegin("statuspart");
    OutInt("index", i);
    OutInt("right", answers.rights[i]);
    OutRect("rect", r.left, r.top, r.right - r.left, r.bottom - r.top);
    OutInt("length", length);
    OutStr("text", text);
    OutEnd();
  }
  RemoteClose(&block);

  ChildWalk walk = {bar, &parts};
  EnumChildWindows(bar, PrintChild, reinterpret_cast<LPARAM>(&walk));
  return true;
}
