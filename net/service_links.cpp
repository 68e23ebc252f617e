#include "net/service_links.h"

#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/platform.h"
#include "res/icon_data.h"

namespace {

std::string CurrentSignatureTime() {
  return SignatureTime(platform::LocalNow());
}

}  // namespace

std::string SignatureTime(int64_t dateValue) {
  // Divided by 1024 and floored, as a right shift of the signed value does.
  int64_t t = dateValue >= 0 ? dateValue / 1024 : -((-dateValue + 1023) / 1024);
  return std::to_string(t);
}

std::string BuildSignedQuery(const std::string& t) {
  std::string signedText = "v=" + app.versionString + ",t=" + t + ",n=" + app.networkId;
  std::string message(reinterpret_cast<const char*>(kIconFiles), kIconFilesSize);
  message += signedText;
  unsigned char digest[20];
  if (!platform::Sha1(message.data(), message.size(), digest)) {
    return std::string("http://") + kErrorHost + "/u/perror.php";
  }
  char hex[41];
  for (int i = 0; i < 20; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
  return std::string("https://") + kWebHost + "/u/post.php?n=" + app.networkId +
         "&v=" + app.versionString + "&t=" + t + "&a=" + hex;
}

void OpenUrl(const std::string& url) {
  platform::ShellOpen("\"" + url + "\"", "", "");
}

void SetMyLocation() {
  OpenUrl(BuildSignedQuery(CurrentSignatureTime()));
}

void RegisterSoftware() {
  OpenUrl(BuildSignedQuery(CurrentSignatureTime()) + "&register=1");
}

void ShowFullChart() {
  OpenUrl(std::string("http://") + kWebHost + "/chart/view.php?n=1:" + app.networkId);
}

void OpenOnlineHelp() {
  OpenUrl(std::string("https://") + kWebHost + "/u/help/?v=" + app.versionString);
}

void OpenHomePage() {
  OpenUrl(std::string("http://") + kWebHost + "/");
}
