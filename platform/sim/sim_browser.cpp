// sim backend: the embedded browser, kept in memory (sim_browser.h).
//
// [x] browser control in a window, gone with its window
// [x] navigations recorded, each asked of the attached callback first
// [x] the page itself navigating, as a link or a button would
// [x] creation failure
// [x] closing a window after the current event's handling (posted close)
#include "platform/sim/sim_browser.h"

#include <map>

#include "platform/platform.h"
#include "platform/sim/sim_ui.h"

namespace {

struct Browser {
  sim::BrowserInfo info;
  platform::NavigateHandler handler = nullptr;
};

struct BrowserState {
  std::map<int, Browser> browsers;
  bool failNext = false;
};

BrowserState* state = new BrowserState;  // never freed, like the other parts of the sim

// The browser `id` while its window is open; nullptr otherwise.
Browser* FindBrowser(int id) {
  auto it = state->browsers.find(id);
  if (it == state->browsers.end()) return nullptr;
  if (!platform::WindowExists(it->second.info.window)) {
    state->browsers.erase(it);
    return nullptr;
  }
  return &it->second;
}

// Asks the callback as the real control does before a navigation, then goes
// there when it agrees.
bool Navigate(int id, Browser* browser, const std::string& url) {
  sim::Navigation navigation;
  navigation.url = url;
  navigation.proceeded = true;
  if (browser->handler != nullptr) {
    navigation.reachedHandler = true;
    navigation.proceeded = browser->handler(id, url) != 0;
  }
  // The callback may have closed the window; the record goes with it then.
  browser = FindBrowser(id);
  if (browser == nullptr) return navigation.proceeded;
  browser->info.navigations.push_back(navigation);
  if (navigation.proceeded) browser->info.url = url;
  return navigation.proceeded;
}

}  // namespace

namespace platform {

// Embedded browser

bool CreateBrowser(int window, int id, int x, int y, int width, int height) {
  state->browsers.erase(id);
  if (state->failNext) {
    state->failNext = false;
    return false;
  }
  if (!WindowExists(window)) return false;
  Browser browser;
  browser.info.exists = true;
  browser.info.window = window;
  browser.info.x = x;
  browser.info.y = y;
  browser.info.width = width;
  browser.info.height = height;
  state->browsers[id] = browser;
  Navigate(id, &state->browsers[id], "about:blank");
  return true;
}

void BrowserNavigate(int id, const std::string& url) {
  Browser* browser = FindBrowser(id);
  if (browser != nullptr) Navigate(id, browser, url);
}

void SetBrowserNavigateHandler(int id, NavigateHandler handler) {
  Browser* browser = FindBrowser(id);
  if (browser == nullptr) return;
  browser->handler = handler;
  browser->info.handlerAttached = handler != nullptr;
}

void CloseWindowLater(int number) {
  // A posted close reaches the loop's next wait, after the current handling.
  sim::RunAtNextWait(CloseWindow, number);
}

}  // namespace platform

namespace sim {

void ResetBrowser() {
  state->browsers.clear();
  state->failNext = false;
}

void FailNextBrowser() {
  state->failNext = true;
}

BrowserInfo Browser(int id) {
  ::Browser* browser = FindBrowser(id);
  return browser == nullptr ? BrowserInfo{} : browser->info;
}

bool PageNavigates(int id, const std::string& url) {
  ::Browser* browser = FindBrowser(id);
  return browser != nullptr && Navigate(id, browser, url);
}

}  // namespace sim
