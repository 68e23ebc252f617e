#include "ui/about_help.h"

#include <string>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/platform.h"
#include "ui/alert_settings.h"

namespace {

constexpr int kNoId = -1;
constexpr char kCopyrightNotice[] = "Copyright (C) 2026 the tessivar project. Free to use.";

}  // namespace

void OpenAbout() {
  if (!OpenCentredWindow(kAboutWindow, "About", platform::kStyleCaption, 350, 200)) return;
  platform::CreateControl(kAboutWindow, kNoId, platform::kControlStatic, 20, 20, 310, 150,
                          "tessivar  version " + app.versionString + "\r\r" + kCopyrightNotice);
  platform::CreateControl(kAboutWindow, kAboutLink, platform::kControlLink, 20, 100, 260, 20,
                          std::string("http://") + kWebHost + "/");
  platform::CreateControl(kAboutWindow, kAboutOkButton, platform::kControlButton, 125, 160, 100, 30,
                          "Ok");
  platform::ActivateWindow(kAboutWindow);
}

std::string ResourceUrl(const std::string& page) {
  return "res://" + platform::ProgramFilePath() + "/" + page;
}

int OnHelpNavigate(int control, const std::string& url) {
  (void)control;
  if (url == "about:blank") {
    // The page's "Close Window" button: close once the browser's callback
    // has returned, so no code of the destroyed window is still running.
    platform::CloseWindowLater(kHelpWindow);
    return 0;
  }
  return 1;
}

void OpenHelp() {
  if (!OpenCentredWindow(kHelpWindow, "Help", platform::kStyleCaption | platform::kStyleSysMenu,
                         600, 600)) {
    return;
  }
  std::string url = ResourceUrl("help1.htm");
  if (!platform::CreateBrowser(kHelpWindow, kHelpBrowser, 0, 0, 600, 600)) return;
  platform::BrowserNavigate(kHelpBrowser, url);
  // Attached only now, so the blank page the browser starts with never
  // reaches the callback and closes the window.
  platform::SetBrowserNavigateHandler(kHelpBrowser, OnHelpNavigate);
}
