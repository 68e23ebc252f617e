// Test-facing controls of the sim backend: net.
#pragma once

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetNet();

}  // namespace sim
