// Test-facing controls of the sim backend: files. Files are real files of
// the host, relative to the process's working directory; the separator is '/'.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot: no file
// held by another program, no bytes read, no seeks. OpenFileCount keeps
// counting the files that are really open.
void ResetFiles();

// Another program opens `path` for writing (true) or closes it again (false):
// while it holds the file, opening it for reading and writing fails, and
// opening it for reading only still works.
void HoldFileForWriting(const std::string& path, bool held);

// Files the program has open right now.
int OpenFileCount();
// Bytes handed to the program by FileRead since the last reset.
int64_t BytesRead();
// Every position given to FileSeek since the last reset, in order.
std::vector<int64_t> SeekPositions();

}  // namespace sim
