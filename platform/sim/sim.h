// The sim backend's control panel for tests: push events, feed serial ports,
// move the clock, read what the program showed, drew, sent and played.
#pragma once

#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_draw.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_misc.h"
#include "platform/sim/sim_net.h"
#include "platform/sim/sim_serial.h"
#include "platform/sim/sim_ui.h"

namespace sim {

// Puts the whole simulated system back to its state at boot.
inline void Reset() {
  ResetUi();
  ResetDraw();
  ResetFiles();
  ResetSerial();
  ResetNet();
  ResetMisc();
  ResetBrowser();
}

}  // namespace sim
