#include "ui/about_help.h"

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/platform.h"
#include "ui/centred_window.h"

namespace {

constexpr int kNoId = -1;  // the static text is never addressed again
constexpr char kCopyright[] = "Copyright (C) 2026 the tessivar project";
constexpr char kBlankPage[] = "about:blank";
constexpr int kAboutWidth = 350;
constexpr int kAboutHeight = 200;
constexpr int kHelpSize = 600;

}  // namespace

void OpenAbout() {
  if (!OpenCentredWindow(kAboutWindow, "About", platform::kStyleCaption, kAboutWidth,
                         kAboutHeight)) {
    return;
  }
  platform::CreateControl(kAboutWindow, kNoId, platform::kControlStatic, 20, 20, 310, 150,
                          "tessivar  version " + app.versionString + "\r\r" + kCopyright);
  // The same URL that OpenHomePage opens when the link is clicked.
  platform::CreateControl(kAboutWindow, kAboutLink, platform::kControlLink, 20, 100, 260, 20,
                          std::string("http://") + kWebHost + "/");
  platform::CreateControl(kAboutWindow, kAboutOkButton, platform::kControlButton, 125, 160, 100, 30,
                          "Ok");
  platform::ActivateWindow(kAboutWindow);
}

void OpenHelp() {
  if (!OpenCentredWindow(kHelpWindow, "Help", platform::kStyleCaption | platform::kStyleSysMenu,
                         kHelpSize, kHelpSize)) {
    return;
  }
  std::string url = ResourceUrl("help1.htm");
  // Without a browser control the window stays open, empty.
  if (!platform::CreateBrowser(kHelpWindow, kHelpBrowser, 0, 0, kHelpSize, kHelpSize)) return;
  platform::BrowserNavigate(kHelpBrowser, url);
  // Attached only now, so that the browser's own first load of "about:blank"
  // at creation does not close the window it was made for.
  platform::SetBrowserNavigateHandler(kHelpBrowser, OnHelpNavigate);
}

std::string ResourceUrl(const std::string& page) {
  return "res://" + platform::ProgramFilePath() + "/" + page;
}

int OnHelpNavigate(int control, const std::string& url) {
  (void)control;
  if (url != kBlankPage) return 1;
  // The page's "Close Window" button. The browser is still inside this
  // callback, so the window goes once the callback has returned.
  platform::CloseWindowLater(kHelpWindow);
  return 0;
}
