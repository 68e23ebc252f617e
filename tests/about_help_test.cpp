// The About window and the Help window with its embedded browser, on the
// sim backend.
#include "ui/about_help.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

const std::string kHelpUrl = "res://C:\\Program Files\\tessivar\\tessivar.exe/help1.htm";

// Runs the loop over what is queued and `idleTurns` idle turns; callable
// again after an earlier run ended with Quit.
void RunTurns(int idleTurns) {
  app.quitRequested = 0;
  scenario::RunLoopTurns(idleTurns);
}

void ChooseMenu(int id) {
  sim::PushMenuCommand(id);
  RunTurns(1);
}

TEST(About, ShowsTheVersionTheHomePageLinkAndOk) {
  scenario::StartProgram();
  sim::WindowInfo main = sim::Window(kMainWindow);
  ChooseMenu(kMenuAbout);

  sim::WindowInfo w = sim::Window(kAboutWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "About");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption});
  EXPECT_EQ(w.clientWidth, 350);
  EXPECT_EQ(w.clientHeight, 200);
  EXPECT_TRUE(w.active);
  int mainWidth = 0, mainHeight = 0, outerWidth = 0, outerHeight = 0;
  platform::OuterSizeForClient(main.style, main.clientWidth, main.clientHeight, &mainWidth,
                               &mainHeight);
  platform::OuterSizeForClient(w.style, 350, 200, &outerWidth, &outerHeight);
  EXPECT_EQ(w.x, main.x + (mainWidth - outerWidth) / 2);

  EXPECT_EQ(sim::ControlCreationOrder().back(), std::make_pair(kAboutWindow, kAboutOkButton));
  std::vector<std::string> texts = sim::StaticTexts(kAboutWindow);
  ASSERT_EQ(texts.size(), 1u);
  const std::string head = "tessivar  version 1.1.3.1085\r\r";
  EXPECT_EQ(texts[0].substr(0, head.size()), head);
  std::string notice = texts[0].substr(head.size());
  EXPECT_FALSE(notice.empty());
  EXPECT_EQ(notice.find_first_of("\r\n"), std::string::npos) << "one line";

  sim::ControlInfo link = sim::Control(kAboutLink);
  EXPECT_EQ(link.window, kAboutWindow);
  EXPECT_EQ(link.kind, platform::kControlLink);
  EXPECT_EQ(link.x, 20);
  EXPECT_EQ(link.y, 100);
  EXPECT_EQ(link.width, 260);
  EXPECT_EQ(link.height, 20);
  EXPECT_EQ(link.text, std::string("http://") + kWebHost + "/");

  sim::ControlInfo ok = sim::Control(kAboutOkButton);
  EXPECT_EQ(ok.kind, platform::kControlButton);
  EXPECT_EQ(ok.x, 125);
  EXPECT_EQ(ok.y, 160);
  EXPECT_EQ(ok.width, 100);
  EXPECT_EQ(ok.height, 30);
  EXPECT_EQ(ok.text, "Ok");
}

TEST(About, TheLinkOpensTheHomePageAndOkClosesWithoutChoosingAPort) {
  scenario::StartProgram();
  int port = app.selectedPort;
  ChooseMenu(kMenuAbout);
  sim::PushControlEvent(kAboutLink);
  RunTurns(1);
  EXPECT_TRUE(sim::Window(kAboutWindow).exists);
  ASSERT_EQ(sim::ShellOpens().size(), 1u);
  EXPECT_EQ(sim::ShellOpens()[0].file, "\"" + sim::Control(kAboutLink).text + "\"");

  sim::PushControlEvent(kAboutOkButton);
  RunTurns(1);
  EXPECT_FALSE(sim::Window(kAboutWindow).exists);
  EXPECT_EQ(app.selectedPort, port);

  ChooseMenu(kMenuAbout);
  ChooseMenu(kMenuAbout);
  EXPECT_EQ(sim::StaticTexts(kAboutWindow).size(), 1u) << "the open one was closed first";
}

TEST(Help, OpensTheBuiltInPageInABrowserFillingTheWindow) {
  scenario::StartProgram();
  ChooseMenu(kMenuHelp);
  RunTurns(3);

  sim::WindowInfo w = sim::Window(kHelpWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "Help");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption | platform::kStyleSysMenu});
  EXPECT_EQ(w.clientWidth, 600);
  EXPECT_EQ(w.clientHeight, 600);

  sim::BrowserInfo b = sim::Browser(kHelpBrowser);
  ASSERT_TRUE(b.exists);
  EXPECT_EQ(b.window, kHelpWindow);
  EXPECT_EQ(b.x, 0);
  EXPECT_EQ(b.y, 0);
  EXPECT_EQ(b.width, 600);
  EXPECT_EQ(b.height, 600);
  EXPECT_EQ(b.url, kHelpUrl);
  EXPECT_TRUE(b.handlerAttached);
  ASSERT_EQ(b.navigations.size(), 2u);
  EXPECT_EQ(b.navigations[0].url, "about:blank");
  EXPECT_FALSE(b.navigations[0].reachedHandler) << "the load at creation must not close the window";
  EXPECT_EQ(b.navigations[1].url, kHelpUrl);
  EXPECT_FALSE(b.navigations[1].reachedHandler) << "the callback is attached after it";
  EXPECT_TRUE(b.navigations[1].proceeded);
}

TEST(Help, OnlyExactlyAboutBlankClosesTheWindowAfterTheCallback) {
  const char* proceeding[] = {
      "About:blank",
      "about:blank ",
      " about:blank",
      "about:blank#top",
      "about:",
      "about:blanks",
      "https://www.station-network.example/bb/",
      "res://C:\\Program Files\\tessivar\\tessivar.exe/panel.css",
  };
  scenario::StartProgram();
  ChooseMenu(kMenuHelp);
  for (const char* url : proceeding) {
    EXPECT_TRUE(sim::PageNavigates(kHelpBrowser, url)) << url;
    RunTurns(1);
    EXPECT_TRUE(sim::Window(kHelpWindow).exists) << url;
  }

  ASSERT_TRUE(sim::PageNavigates(kHelpBrowser, kHelpUrl));
  EXPECT_FALSE(sim::PageNavigates(kHelpBrowser, "about:blank"));
  ASSERT_TRUE(sim::Window(kHelpWindow).exists) << "closed only once the callback has returned";
  EXPECT_EQ(sim::Browser(kHelpBrowser).url, kHelpUrl) << "no blank page first";
  RunTurns(1);
  EXPECT_FALSE(sim::Window(kHelpWindow).exists);
  EXPECT_TRUE(sim::Window(kMainWindow).exists);
}

TEST(Help, TheResourceUrlCarriesTheProgramPathAsItIs) {
  scenario::StartProgram();
  sim::SetProgramFilePath("C:\\My Tools\\geiger station #2\\tessivar.exe");
  EXPECT_EQ(ResourceUrl("help1.htm"),
            "res://C:\\My Tools\\geiger station #2\\tessivar.exe/help1.htm");
  ChooseMenu(kMenuHelp);
  EXPECT_EQ(sim::Browser(kHelpBrowser).url,
            "res://C:\\My Tools\\geiger station #2\\tessivar.exe/help1.htm");
}

TEST(Help, WithoutABrowserTheWindowOpensEmpty) {
  scenario::StartProgram();
  sim::FailNextBrowser();
  ChooseMenu(kMenuHelp);
  EXPECT_TRUE(sim::Window(kHelpWindow).exists);
  EXPECT_FALSE(sim::Browser(kHelpBrowser).exists);
  sim::PushCloseRequest(kHelpWindow);
  RunTurns(1);
  EXPECT_FALSE(sim::Window(kHelpWindow).exists);
  EXPECT_TRUE(sim::Window(kMainWindow).exists);
}

TEST(Help, OpeningItAgainStartsAFreshPageThatItsFirstBlankDoesNotClose) {
  scenario::StartProgram();
  ChooseMenu(kMenuHelp);
  ASSERT_TRUE(sim::PageNavigates(kHelpBrowser, "https://www.station-network.example/bb/"));
  ChooseMenu(kMenuHelp);
  RunTurns(2);
  ASSERT_TRUE(sim::Window(kHelpWindow).exists);
  sim::BrowserInfo b = sim::Browser(kHelpBrowser);
  EXPECT_EQ(b.url, kHelpUrl);
  ASSERT_EQ(b.navigations.size(), 2u);
  EXPECT_FALSE(b.navigations[0].reachedHandler);
}

}  // namespace
