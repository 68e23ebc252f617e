// Test-facing controls of the sim backend: the embedded browser.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetBrowser();
// Make the next CreateBrowser fail, as on a system without a browser control.
void FailBrowser();
// Every URL browser `id` was sent to or asked to go to, in order, with
// whether it went ahead ("about:blank +", "res://... -").
std::vector<std::string> BrowserNavigations(int id);
// The page in browser `id` asks to go to `url` (a link or a button on it);
// the navigation callback decides. True when it went ahead.
bool PageNavigates(int id, const std::string& url);
// The URL browser `id` shows.
std::string BrowserLocation(int id);

}  // namespace sim
