// The helper DLL. Under Wine a menu can only be read from inside the process
// that owns it, so the probe loads this DLL into the observed program
// (CreateRemoteThread on LoadLibraryA). On load it reads the request that the
// probe left beside it (window, format, which menu), writes the menu tree
// beside it, and then refuses to stay loaded: the program is left as it was
// and the next probe runs the dump again.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "out.h"

namespace {

void OutFlag(const char* key, bool value) {
  OutInt(key, value ? 1 : 0);
}

void DumpMenu(HWND window, HMENU menu, int depth, bool isBar) {
  int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    char text[512] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, pos, TRUE, &info)) continue;
    // The bar's items have a place on the screen while the window shows; a
    // popup's items only while that popup is open.
    RECT rect;
    bool placed = GetMenuItemRect(isBar ? window : nullptr, menu, pos, &rect) != FALSE &&
                  rect.right > rect.left;

    OutBegin("menuitem");
    OutInt("depth", depth);
    OutInt("pos", pos);
    OutInt("id", info.hSubMenu != nullptr ? -1 : static_cast<long long>(info.wID));
    OutStr("text", text);
    OutFlag("popup", info.hSubMenu != nullptr);
    OutFlag("checked", (info.fState & MFS_CHECKED) != 0);
    OutFlag("grey", (info.fState & MF_GRAYED) != 0);
    OutFlag("disabled", (info.fState & MF_DISABLED) != 0);
    OutFlag("separator", (info.fType & MFT_SEPARATOR) != 0);
    if (placed) {
      OutRect("rect", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    OutEnd();
    if (info.hSubMenu != nullptr) DumpMenu(window, info.hSubMenu, depth + 1, false);
  }
}

void OutBarRecord(HWND window, HMENU menu) {
  MENUBARINFO bar = {};
  bar.cbSize = sizeof bar;
  OutBegin("menubar");
  OutInt("present", menu != nullptr ? 1 : 0);
  if (menu != nullptr && GetMenuBarInfo(window, OBJID_MENU, 0, &bar)) {
    RECT r = bar.rcBar;
    OutRect("rect", r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  OutEnd();
}

// `path` ends in ".dll"; the request and the answer share its stem.
void SiblingPath(const char* path, const char* extension, char* out, size_t size) {
  snprintf(out, size, "%.*s%s", static_cast<int>(strlen(path) - 4), path, extension);
}

void AnswerRequest(HINSTANCE self) {
  char path[MAX_PATH], requestPath[MAX_PATH], answerPath[MAX_PATH];
  GetModuleFileNameA(self, path, sizeof path);
  SiblingPath(path, ".req", requestPath, sizeof requestPath);
  SiblingPath(path, ".out", answerPath, sizeof answerPath);

  unsigned long long handle = 0;
  int json = 0, systemMenu = 0;
  FILE* request = fopen(requestPath, "r");
  if (request == nullptr) return;
  int fields = fscanf(request, "%llx %d %d", &handle, &json, &systemMenu);
  fclose(request);
  if (fields != 3) return;
  FILE* answer = fopen(answerPath, "wb");
  if (answer == nullptr) return;

  HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  OutSetFile(answer);
  OutSetFormat(json ? kOutJson : kOutPlain);
  if (systemMenu) {
    HMENU menu = GetSystemMenu(window, FALSE);
    OutBegin("sysmenu");
    OutInt("present", menu != nullptr ? 1 : 0);
    OutEnd();
    if (menu != nullptr) DumpMenu(window, menu, 0, false);
  } else {
    HMENU menu = GetMenu(window);
    OutBarRecord(window, menu);
    if (menu != nullptr) DumpMenu(window, menu, 0, true);
  }
  fclose(answer);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  AnswerRequest(instance);
  return FALSE;
}
