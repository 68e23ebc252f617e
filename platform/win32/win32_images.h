// Images and fonts of the win32 backend, for the files that show them.
#pragma once

#include <windows.h>

namespace win32 {

// The bitmap of image `number` (a 24-bit DIB section or the icon's picture), or nullptr.
HBITMAP ImageBitmap(int number);
// The icon of image `number` when it was made from an icon file, or nullptr.
HICON ImageIcon(int number);

}  // namespace win32
