// Test-facing controls of the sim backend: draw.
#pragma once

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetDraw();

}  // namespace sim
