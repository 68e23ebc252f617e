// The About and Help windows on the sim backend.
#include "ui/about_help.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

void Turn(int menuId) {
  if (menuId >= 0) sim::PushMenuCommand(menuId);
  scenario::RunLoopTurns(0);
  app.quitRequested = 0;
}

TEST(About, ShowsTheVersionTheLinkAndOk) {
  scenario::StartProgram();
  Turn(kMenuAbout);
  sim::WindowInfo w = sim::Window(kAboutWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "About");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption});
  EXPECT_EQ(w.clientWidth, 350);
  EXPECT_EQ(w.clientHeight, 200);
  std::vector<std::string> statics = sim::StaticTexts(kAboutWindow);
  ASSERT_EQ(statics.size(), 1u);
  EXPECT_EQ(statics[0].rfind("tessivar  version 1.1.3.1085\r\r", 0), 0u) << statics[0];
  EXPECT_EQ(statics[0].find('\n'), std::string::npos);
  sim::ControlInfo link = sim::Control(kAboutLink);
  EXPECT_EQ(link.kind, platform::kControlLink);
  EXPECT_EQ(link.text, std::string("http://") + kWebHost + "/");
  EXPECT_EQ(sim::Control(kAboutOkButton).text, "Ok");
}

TEST(About, TheLinkOpensTheHomePageAndTheWindowStays) {
  scenario::StartProgram();
  Turn(kMenuAbout);
  sim::PushControlEvent(kAboutLink);
  Turn(-1);
  ASSERT_EQ(sim::ShellOpens().size(), 1u);
  EXPECT_EQ(sim::ShellOpens()[0].file, std::string("\"http://") + kWebHost + "/\"");
  EXPECT_TRUE(sim::Window(kAboutWindow).exists);
  sim::PushControlEvent(kAboutOkButton);
  Turn(-1);
  EXPECT_FALSE(sim::Window(kAboutWindow).exists);
  EXPECT_TRUE(sim::Window(kMainWindow).exists) << "control 8 is not the port COM8";
  EXPECT_EQ(app.selectedPort, 0);
}

TEST(About, OpeningItWhileOpenClosesTheOpenOneFirst) {
  scenario::StartProgram();
  Turn(kMenuAbout);
  Turn(kMenuAbout);
  EXPECT_EQ(sim::StaticTexts(kAboutWindow).size(), 1u);
}

TEST(Help, LoadsThePageFromTheProgramFile) {
  scenario::StartProgram();
  sim::SetProgramFilePath("C:\\My Tools\\tessivar.exe");
  Turn(kMenuHelp);
  sim::WindowInfo w = sim::Window(kHelpWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "Help");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption | platform::kStyleSysMenu});
  EXPECT_EQ(w.clientWidth, 600);
  EXPECT_EQ(w.clientHeight, 600);
  // The blank page the browser starts with does not close the window.
  EXPECT_EQ(
      sim::BrowserNavigations(kHelpBrowser),
      (std::vector<std::string>{"about:blank +", "res://C:\\My Tools\\tessivar.exe/help1.htm +"}));
}

TEST(Help, OnlyExactlyAboutBlankClosesTheWindow) {
  struct Case {
    const char* url;
    bool proceeds;
  };
  const Case cases[] = {
      {"https://www.station-network.example/bb/", true},
      {"res://C:\\tessivar.exe/panel.css", true},
      {"ABOUT:BLANK", true},
      {"about:blank#top", true},
      {"about:blank", false},
  };
  scenario::StartProgram();
  Turn(kMenuHelp);
  for (const Case& c : cases) {
    EXPECT_EQ(sim::PageNavigates(kHelpBrowser, c.url), c.proceeds) << c.url;
  }
  EXPECT_TRUE(sim::Window(kHelpWindow).exists) << "closed only after the callback returned";
  Turn(-1);
  EXPECT_FALSE(sim::Window(kHelpWindow).exists);
  EXPECT_NE(sim::BrowserLocation(kHelpBrowser), "about:blank")
      << "the page does not turn blank first";
}

TEST(Help, WithoutABrowserTheWindowOpensEmpty) {
  scenario::StartProgram();
  sim::FailBrowser();
  Turn(kMenuHelp);
  EXPECT_TRUE(sim::Window(kHelpWindow).exists);
  EXPECT_TRUE(sim::BrowserNavigations(kHelpBrowser).empty());
  sim::PushCloseRequest(kHelpWindow);
  Turn(-1);
  EXPECT_FALSE(sim::Window(kHelpWindow).exists);
  EXPECT_TRUE(sim::Window(kMainWindow).exists);
}

}  // namespace
