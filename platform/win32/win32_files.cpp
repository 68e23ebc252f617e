// win32 backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

namespace platform {

// Files

char PathSeparator() {
  return '/';
}

File FileOpenRead(const std::string& path) {
  (void)path;
  return nullptr;
}

File FileOpenReadWrite(const std::string& path) {
  (void)path;
  return nullptr;
}

int64_t FileLength(File file) {
  (void)file;
  return 0;
}

void FileSeek(File file, int64_t position) {
  (void)file; (void)position;
}

int FileRead(File file, void* buffer, int size) {
  (void)file; (void)buffer; (void)size;
  return 0;
}

int FileWrite(File file, const void* bytes, int size) {
  (void)file; (void)bytes; (void)size;
  return 0;
}

void FileClose(File file) {
  (void)file;
}

}  // namespace platform
