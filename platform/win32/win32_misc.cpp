// win32 backend: shell, sound, file dialog, threads and the program file.
//
// [x] ShellExecuteA and CreateProcessA
// [x] PlaySoundA, asynchronous
// [x] the open-file dialog, from any thread
// [x] detached threads
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
  ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  start.procedure(start.argument);
  return 0;
}

}  // namespace

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
  PlaySoundA(name.c_str(), nullptr, SND_ASYNC);
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
  static const OpenDialog open = [] {
    HMODULE library = LoadLibraryA("comdlg32.dll");
    return library == nullptr
               ? nullptr
               : reinterpret_cast<OpenDialog>(
                     reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")));
  }();
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
