// Placeholder definitions, replaced by the real ones.
#include "ui/about_help.h"

void OpenAbout() {
}

void OpenHelp() {
}

std::string ResourceUrl(const std::string& page) {
  (void)page;
  return {};
}

int OnHelpNavigate(int control, const std::string& url) {
  (void)control;
  (void)url;
  return 0;
}
