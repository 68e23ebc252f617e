#include <cstdio>
#include <cstring>

#include "probe.h"

namespace {

constexpr DWORD kInjectTimeoutMs = 10000;

// The helper DLL lies beside the probe.
bool HelperPath(char* out, size_t size) {
  DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
  char* slash = strrchr(out, '\\');
  if (length == 0 || slash == nullptr) return false;
  snprintf(slash + 1, size - (slash + 1 - out), "winprobe-menu.dll");
  return true;
}

// Runs LoadLibraryA(dllPath) on a new thread of the process that owns `top`
// and waits for it to end.
bool LoadIntoProcess(HWND top, const char* dllPath) {
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_INFORMATION | SYNCHRONIZE,
                               FALSE, pid);
  if (process == nullptr) return false;
  size_t size = strlen(dllPath) + 1;
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool done = false;
  if (remote != nullptr && WriteProcessMemory(process, remote, dllPath, size, nullptr)) {
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    if (thread != nullptr) {
      done = WaitForSingleObject(thread, kInjectTimeoutMs) == WAIT_OBJECT_0;
      CloseHandle(thread);
    }
  }
  if (remote != nullptr && done) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return done;
}

bool CopyToStdout(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) fwrite(buffer, 1, n, stdout);
  fclose(file);
  fflush(stdout);
  return true;
}

}  // namespace

bool PrintMenus(HWND top, bool systemMenu, bool json) {
  char helper[MAX_PATH], tempDir[MAX_PATH], unique[MAX_PATH];
  if (!HelperPath(helper, sizeof helper)) return false;
  // A fresh copy of the DLL for every request: its name gives the request
  // and answer files a name no other probe uses at the same time.
  if (GetTempPathA(sizeof tempDir, tempDir) == 0) return false;
  if (GetTempFileNameA(tempDir, "wpm", 0, unique) == 0) return false;
  char stem[MAX_PATH], dll[MAX_PATH], request[MAX_PATH], answer[MAX_PATH];
  snprintf(stem, sizeof stem, "%.*s", static_cast<int>(strlen(unique) - 4), unique);
  snprintf(dll, sizeof dll, "%s.dll", stem);
  snprintf(request, sizeof request, "%s.req", stem);
  snprintf(answer, sizeof answer, "%s.out", stem);

  bool ok = false;
  FILE* file = fopen(request, "w");
  if (file != nullptr && CopyFileA(helper, dll, FALSE)) {
    fprintf(file, "%llx %d %d\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(top)),
            json ? 1 : 0, systemMenu ? 1 : 0);
    fclose(file);
    file = nullptr;
    ok = LoadIntoProcess(top, dll) && CopyToStdout(answer);
  }
  if (file != nullptr) fclose(file);
  const char* const made[] = {answer, request, dll, unique};
  for (const char* path : made) DeleteFileA(path);
  return ok;
}
