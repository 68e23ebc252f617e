// Placeholder definitions, replaced by the real ones.
#include "net/service_links.h"

std::string SignatureTime(int64_t dateValue) {
  (void)dateValue;
  return {};
}

std::string BuildSignedQuery(const std::string& t) {
  (void)t;
  return {};
}

void OpenUrl(const std::string& url) {
  (void)url;
}

void SetMyLocation() {
}

void RegisterSoftware() {
}

void ShowFullChart() {
}

void OpenOnlineHelp() {
}

void OpenHomePage() {
}
