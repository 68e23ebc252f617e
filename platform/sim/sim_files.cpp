// sim backend: files, as real files of the host through POSIX calls.
#include "platform/sim/sim_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "platform/platform.h"

namespace {

struct FilesState {
  std::set<std::string> held;
  int open = 0;
  int64_t bytesRead = 0;
  std::vector<int64_t> seeks;
};

FilesState* files = new FilesState;

}  // namespace

namespace platform {

struct FileHandle {
  int fd;
};

namespace {

// A folder opens on POSIX but not as a file on other systems: refuse it.
File Wrap(int fd) {
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  ++files->open;
  return new FileHandle{fd};
}

}  // namespace

char PathSeparator() {
  return '/';
}

File FileOpenRead(const std::string& path) {
  return Wrap(open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

File FileOpenReadWrite(const std::string& path) {
  if (files->held.count(path) != 0) return nullptr;
  return Wrap(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
}

int64_t FileLength(File file) {
  struct stat info;
  if (file == nullptr || fstat(file->fd, &info) != 0) return 0;
  return info.st_size;
}

void FileSeek(File file, int64_t position) {
  if (file == nullptr) return;
  files->seeks.push_back(position);
  lseek(file->fd, position, SEEK_SET);
}

int FileRead(File file, void* buffer, int size) {
  if (file == nullptr || size <= 0) return 0;
  ssize_t got;
  do {
    got = read(file->fd, buffer, static_cast<size_t>(size));
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return 0;
  files->bytesRead += got;
  return static_cast<int>(got);
}

int FileWrite(File file, const void* bytes, int size) {
  if (file == nullptr || size <= 0) return 0;
  const char* at = static_cast<const char*>(bytes);
  int written = 0;
  while (written < size) {
    ssize_t n = write(file->fd, at + written, static_cast<size_t>(size - written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<int>(n);
  }
  return written;
}

void FileClose(File file) {
  if (file == nullptr) return;
  close(file->fd);
  --files->open;
  delete file;
}

}  // namespace platform

namespace sim {

void ResetFiles() {
  files->held.clear();
  files->bytesRead = 0;
  files->seeks.clear();
}

void HoldFileForWriting(const std::string& path, bool held) {
  if (held) {
    files->held.insert(path);
  } else {
    files->held.erase(path);
  }
}

int OpenFileCount() {
  return files->open;
}

int64_t BytesRead() {
  return files->bytesRead;
}

std::vector<int64_t> SeekPositions() {
  return files->seeks;
}

}  // namespace sim
