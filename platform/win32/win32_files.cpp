// win32 backend: files, opened and closed within one operation.
//
// [x] read only, sharing reading and writing with others
// [x] read and write, created when missing, sharing only reading: a file
//     another program holds open for writing does not open
#include <windows.h>

#include "platform/platform.h"

namespace platform {
struct FileHandle {
  HANDLE handle;
};
}  // namespace platform

namespace {

platform::File Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? nullptr : new platform::FileHandle{handle};
}

}  // namespace

namespace platform {

char PathSeparator() {
  return '\\';
}

File FileOpenRead(const std::string& path) {
  return Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

File FileOpenReadWrite(const std::string& path) {
  return Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
}

int64_t FileLength(File file) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(file->handle, &size) ? size.QuadPart : 0;
}

void FileSeek(File file, int64_t position) {
  LARGE_INTEGER to{};
  to.QuadPart = position;
  SetFilePointerEx(file->handle, to, nullptr, FILE_BEGIN);
}

int FileRead(File file, void* buffer, int size) {
  DWORD read = 0;
  if (!ReadFile(file->handle, buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
  return static_cast<int>(read);
}

int FileWrite(File file, const void* bytes, int size) {
  DWORD written = 0;
  if (!WriteFile(file->handle, bytes, static_cast<DWORD>(size), &written, nullptr)) return 0;
  return static_cast<int>(written);
}

void FileClose(File file) {
  if (file == nullptr) return;
  CloseHandle(file->handle);
  delete file;
}

}  // namespace platform
