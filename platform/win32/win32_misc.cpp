// win32 backend: shell, sound, file dialog, threads and the program file.
//
// [x] ShellExecuteA and CreateProcessA
// [x] PlaySoundA, asynchronous
// [x] the open-file dialog, from any thread
// [x] detached threads, their stacks trimmed
// [x] GetModuleFileNameA
#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

struct ThreadStart {
  void (*procedure)(void*);
  void* argument;
};

DWORD WINAPI ThreadMain(LPVOID parameter) {
  win32::TrimThreadStack();
  ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  start.procedure(start.argument);
  return 0;
}

// A function of a system library that the program needs only now and then,
// loaded on its first use and then kept; nullptr when it is missing.
template <typename Function>
Function LibraryFunction(const char* library, const char* name) {
  HMODULE module = LoadLibraryA(library);
  return module == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

namespace win32 {

void TrimThreadStack() {
  // Wine clears about a megabyte of every new thread's stack before the
  // thread runs, main thread included, and those pages stay in memory for
  // the thread's life and after it (a dead thread's stack goes only when
  // the next thread ends). The station's threads need a few kilobytes.
  // MEM_RESET says the committed pages below this frame hold nothing of
  // value, so the system may drop them; they come back as they are used.
  // On Windows hardly any of the stack below is committed: nothing to do.
  // The margin keeps the pages of the calls made from here untouched.
  constexpr ULONG_PTR kMargin = 32 * 1024;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const ULONG_PTR page = system.dwPageSize;
  char here = 0;
  const ULONG_PTR frame = reinterpret_cast<ULONG_PTR>(&here);
  MEMORY_BASIC_INFORMATION region;
  if (frame < kMargin || VirtualQuery(&here, &region, sizeof region) == 0) return;
  char* const end = reinterpret_cast<char*>((frame - kMargin) & ~(page - 1));
  char* from = static_cast<char*>(region.AllocationBase);
  while (from < end && VirtualQuery(from, &region, sizeof region) != 0) {
    char* to = static_cast<char*>(region.BaseAddress) + region.RegionSize;
    if (to > end) to = end;
    // Guard pages and anything not plainly read-write stay as they are.
    if (region.State == MEM_COMMIT && region.Protect == PAGE_READWRITE) {
      VirtualAlloc(from, static_cast<SIZE_T>(to - from), MEM_RESET, PAGE_READWRITE);
    }
    from = to;
  }
}

}  // namespace win32

namespace platform {

// Shell

bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& directory) {
  HINSTANCE result = ShellExecuteA(nullptr, nullptr, file.c_str(),
                                   parameters.empty() ? nullptr : parameters.c_str(),
                                   directory.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool StartProcess(const std::string& commandLine, const std::string& directory) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// Sound

void PlaySoundAsync(const std::string& name) {
  // The sound library and the codecs it brings are loaded with the first
  // sound, so a station that never alerts does not carry them.
  using Play = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  static const Play play = LibraryFunction<Play>("winmm.dll", "PlaySoundA");
  if (play != nullptr) play(name.c_str(), nullptr, SND_ASYNC);
}

// File dialog

std::string ChooseFileToOpen(const std::string& title, const std::string& filterName,
                             const std::string& pattern, int owner) {
  std::string filter = filterName;
  filter += '\0';
  filter += pattern;
  filter += '\0';
  filter += '\0';
  char path[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner >= 0 ? win32::WindowHandle(owner) : nullptr;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = title.c_str();
  // The data file is found relative to the working directory: keep it.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  // The file dialog library drags the printing system in with it, a few
  // megabytes for the whole life of the station; it is loaded only once the
  // user first asks for the dialog, and then kept.
  using OpenDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const OpenDialog open = LibraryFunction<OpenDialog>("comdlg32.dll", "GetOpenFileNameA");
  if (open == nullptr || !open(&dialog)) return {};
  return path;
}

// Threads

bool StartThread(void (*procedure)(void* argument), void* argument) {
  ThreadStart* start = new ThreadStart{procedure, argument};
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  CloseHandle(thread);  // never waited for
  return true;
}

// Program file

std::string ProgramFilePath() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

}  // namespace platform
