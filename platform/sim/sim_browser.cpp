// sim backend: the embedded browser, which renders nothing but navigates,
// asks its callback and records where it went.
//
// [x] creation with the blank page loaded
// [x] navigation with a callback that can cancel it
// [x] closing a window after the current event
#include "platform/sim/sim_browser.h"

#include <map>

#include "platform/platform.h"
#include "platform/sim/sim_ui.h"

namespace {

struct Browser {
  int window = -1;
  platform::NavigateHandler handler = nullptr;
  std::string location;
  std::vector<std::string> navigations;
};

std::map<int, Browser> browsers;
bool failNext = false;

bool Navigate(int id, const std::string& url) {
  auto it = browsers.find(id);
  if (it == browsers.end() || !platform::WindowExists(it->second.window)) return false;
  bool proceed = it->second.handler == nullptr || it->second.handler(id, url) != 0;
  // The callback may have closed the window; the record stays for the test.
  Browser& browser = browsers[id];
  browser.navigations.push_back(url + (proceed ? " +" : " -"));
  if (proceed) browser.location = url;
  return proceed;
}

void CloseNow(int number) {
  platform::CloseWindow(number);
}

}  // namespace

namespace platform {

bool CreateBrowser(int window, int id, int x, int y, int width, int height) {
  (void)x;
  (void)y;
  (void)width;
  (void)height;
  if (failNext || !WindowExists(window)) {
    failNext = false;
    return false;
  }
  browsers[id] = Browser{window, nullptr, "about:blank", {"about:blank +"}};
  return true;
}

void BrowserNavigate(int id, const std::string& url) {
  Navigate(id, url);
}

void SetBrowserNavigateHandler(int id, NavigateHandler handler) {
  auto it = browsers.find(id);
  if (it != browsers.end()) it->second.handler = handler;
}

void CloseWindowLater(int number) {
  sim::RunAtNextWait(CloseNow, number);
}

}  // namespace platform

namespace sim {

void ResetBrowser() {
  browsers.clear();
  failNext = false;
}

void FailBrowser() {
  failNext = true;
}

std::vector<std::string> BrowserNavigations(int id) {
  auto it = browsers.find(id);
  return it == browsers.end() ? std::vector<std::string>{} : it->second.navigations;
}

bool PageNavigates(int id, const std::string& url) {
  return Navigate(id, url);
}

std::string BrowserLocation(int id) {
  auto it = browsers.find(id);
  return it == browsers.end() ? std::string() : it->second.location;
}

}  // namespace sim
