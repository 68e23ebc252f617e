// tessivar: a Geiger counter on a serial port as a station of a
// radiation-monitoring network.
#include "app/startup.h"

int main() {
  InitializeApplication();
  return 0;
}
