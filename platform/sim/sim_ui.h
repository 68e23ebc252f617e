// Test-facing controls of the sim backend: windows, menus, status bar, tray,
// events, timer and the clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetUi();
// After `turns` more waits that end with no event, the next wait delivers
// the menu command Quit (262), as a user choosing it would.
void QuitAfterIdleTurns(int turns);
// Placeholder, replaced by the real control panel.
}  // namespace sim
