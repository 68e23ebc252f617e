// Test-facing controls of the sim backend: the embedded browser.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetBrowser();

// Makes the next CreateBrowser fail, as on a system without a browser control.
void FailNextBrowser();

// One navigation a browser was asked to make, by the program or by its page.
struct Navigation {
  std::string url;
  bool reachedHandler = false;  // the navigation callback was asked
  bool proceeded = false;       // the browser went there
};

struct BrowserInfo {
  bool exists = false;  // created, and its window still open
  int window = -1;
  int x = 0, y = 0, width = 0, height = 0;
  std::string url;  // the page it shows
  bool handlerAttached = false;
  std::vector<Navigation> navigations;  // in order, the load at creation first
};
BrowserInfo Browser(int id);

// The page shown in browser `id` navigates to `url` (a link, a button's
// script): the attached callback decides, as the real control asks before
// every navigation. Returns whether the navigation proceeded; false too when
// the browser does not exist.
bool PageNavigates(int id, const std::string& url);

}  // namespace sim
