// Helpers for scenario tests that run the program on the sim backend.
#pragma once

#include <string>

namespace scenario {

// Resets the simulated system and the program's state, then runs start-up
// steps 1 to 18 (everything before the event loop).
void StartProgram();
// Runs the event loop until the queued events and `idleTurns` idle turns are
// used up, then asks it to quit.
void RunLoopTurns(int idleTurns);

}  // namespace scenario
