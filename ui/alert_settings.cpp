// Placeholder definitions, replaced by the real ones.
#include "ui/alert_settings.h"

void OpenAlertSettings() {
}

void BrowseAlertSound(void* argument) {
  (void)argument;
}

void StoreChosenSound(const std::string& path) {
  (void)path;
}
