// Test-facing controls of the sim backend: browser.
#pragma once

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetBrowser();

}  // namespace sim
