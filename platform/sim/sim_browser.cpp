// sim backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

#include "platform/sim/sim_browser.h"

namespace platform {

// Embedded browser

bool CreateBrowser(int window, int id, int x, int y, int width, int height) {
  (void)window; (void)id; (void)x; (void)y; (void)width; (void)height;
  return false;
}

void BrowserNavigate(int id, const std::string& url) {
  (void)id; (void)url;
}

void SetBrowserNavigateHandler(int id, NavigateHandler handler) {
  (void)id; (void)handler;
}

void CloseWindowLater(int number) {
  (void)number;
}

}  // namespace platform

namespace sim {

void ResetBrowser() {}

}  // namespace sim
