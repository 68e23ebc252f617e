// The two embedded icon files, exactly as stored in res/, back to back.
#pragma once

constexpr unsigned kIconFilesSize = 2556;
extern const unsigned char kIconFiles[kIconFilesSize];
// Length of the first and of the second file.
extern const unsigned kIconFileSizes[2];
