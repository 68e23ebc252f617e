#include "ui/centred_window.h"

#include <algorithm>

#include "platform/platform.h"

bool OpenCentredWindow(int number, const std::string& title, unsigned style, int clientWidth,
                       int clientHeight) {
  int x = 0, y = 0;
  platform::Rect active;
  if (platform::ActiveWindowRect(&active)) {
    int outerWidth = 0, outerHeight = 0;
    platform::OuterSizeForClient(style, clientWidth, clientHeight, &outerWidth, &outerHeight);
    x = std::max(0, active.x + (active.width - outerWidth) / 2);
    y = std::max(0, active.y + (active.height - outerHeight) / 2);
  }
  return platform::CreateTopWindow(number, title, style, x, y, clientWidth, clientHeight);
}
