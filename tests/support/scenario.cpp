#include "tests/support/scenario.h"

#include "app/app_state.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "platform/sim/sim.h"

namespace scenario {

void StartProgram() {
  sim::Reset();
  RunStartup();
}

void RunLoopTurns(int idleTurns) {
  sim::QuitAfterIdleTurns(idleTurns);
  RunEventLoop();
}

}  // namespace scenario
