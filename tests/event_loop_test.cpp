// The event loop on the sim backend: quitting, closing, minimising, the tray
// toggle and the shell restart.
#include "app/event_loop.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

TEST(EventLoop, QuitEndsTheLoopAtTheEndOfItsTurn) {
  scenario::StartProgram();
  sim::PushMenuCommand(kMenuQuit);
  sim::PushMenuCommand(kMenuAbout);  // never taken
  RunEventLoop();
  EXPECT_EQ(app.quitRequested, 1);
  EXPECT_EQ(sim::DeliveredEvents(), std::vector<int>{platform::kEventMenu});
  EXPECT_FALSE(sim::Window(kAboutWindow).exists);
}

TEST(EventLoop, ACloseRequestForTheMainWindowEndsTheProgram) {
  scenario::StartProgram();
  sim::PushCloseRequest(kMainWindow);
  sim::PushMenuCommand(kMenuAbout);
  RunEventLoop();
  EXPECT_EQ(app.quitRequested, 1);
  EXPECT_EQ(sim::DeliveredEvents().size(), 1u);
}

TEST(EventLoop, ACloseRequestForAnotherWindowClosesOnlyThatWindow) {
  scenario::StartProgram();
  ASSERT_TRUE(
      platform::CreateTopWindow(kHelpWindow, "Help", platform::kStyleCaption, 0, 0, 600, 600));
  sim::PushCloseRequest(kHelpWindow);
  scenario::RunLoopTurns(1);
  EXPECT_FALSE(sim::Window(kHelpWindow).exists);
  EXPECT_TRUE(sim::Window(kMainWindow).exists);
}

TEST(EventLoop, MinimisingHidesAndOneTrayClickBringsItBackActiveAndNormal) {
  scenario::StartProgram();
  sim::Minimise(kMainWindow);
  scenario::RunLoopTurns(0);
  EXPECT_EQ(app.mainWindowHidden, 1);
  EXPECT_FALSE(sim::Window(kMainWindow).visible);

  sim::ClickTray(kTrayIconId);
  scenario::RunLoopTurns(0);
  sim::WindowInfo w = sim::Window(kMainWindow);
  EXPECT_EQ(app.mainWindowHidden, 0);
  EXPECT_TRUE(w.visible);
  EXPECT_FALSE(w.minimised);
  EXPECT_TRUE(w.active);
}

TEST(EventLoop, AMaximisedWindowHiddenAndShownComesBackAtNormalSize) {
  scenario::StartProgram();
  sim::Maximise(kMainWindow);
  sim::ClickTray(kTrayIconId);
  sim::ClickTray(kTrayIconId);
  scenario::RunLoopTurns(0);
  EXPECT_FALSE(sim::Window(kMainWindow).maximised);
  EXPECT_TRUE(sim::Window(kMainWindow).visible);
}

TEST(EventLoop, EachTrayEventTogglesOnce) {
  struct Case {
    const char* what;
    int clicks, doubleClicks;
    int hidden;
  };
  const Case cases[] = {
      {"one click hides", 1, 0, 1},
      {"two clicks hide and show", 2, 0, 0},
      {"a double-click toggles twice", 0, 1, 0},
      {"a click then a double-click", 1, 1, 1},
  };
  for (const Case& c : cases) {
    scenario::StartProgram();
    for (int i = 0; i < c.clicks; ++i) sim::ClickTray(kTrayIconId);
    for (int i = 0; i < c.doubleClicks; ++i) sim::DoubleClickTray(kTrayIconId);
    scenario::RunLoopTurns(0);
    EXPECT_EQ(app.mainWindowHidden, c.hidden) << c.what;
    EXPECT_EQ(sim::Window(kMainWindow).visible, c.hidden == 0) << c.what;
  }
}

TEST(EventLoop, HidingWhenHiddenAndShowingWhenShownChangeNothing) {
  scenario::StartProgram();
  ShowMainWindow();
  EXPECT_EQ(app.mainWindowHidden, 0);
  EXPECT_TRUE(sim::Window(kMainWindow).visible);
  HideMainWindow();
  sim::Maximise(kMainWindow);  // a state change the second hide must not touch
  HideMainWindow();
  EXPECT_EQ(app.mainWindowHidden, 1);
  EXPECT_TRUE(sim::Window(kMainWindow).maximised);
}

TEST(EventLoop, TheTrayIconComesBackAfterTheShellRestarts) {
  scenario::StartProgram();
  sim::ClickTray(kTrayIconId);  // hidden in the tray
  sim::RestartShell();
  scenario::RunLoopTurns(0);
  sim::TrayInfo tray = sim::Tray(kTrayIconId);
  ASSERT_TRUE(tray.exists);
  EXPECT_EQ(tray.image, kIconImage);
  EXPECT_EQ(tray.tooltip, "tessivar");
  sim::ClickTray(kTrayIconId);
  scenario::RunLoopTurns(0);
  EXPECT_TRUE(sim::Window(kMainWindow).visible);
}

TEST(EventLoop, CommandsOutsideTheTablesAreIgnored) {
  scenario::StartProgram();
  for (int id : {kMenuNoPort, kMenuNetworkId, 267, 300, -5}) sim::PushMenuCommand(id);
  for (int id : {2, 3, 13, 999}) sim::PushControlEvent(id);
  sim::PushEvent(platform::kEventOther, 0);
  sim::PushEvent(4242, 7);
  scenario::RunLoopTurns(0);
  EXPECT_EQ(app.quitRequested, 1);
  EXPECT_TRUE(sim::Window(kMainWindow).visible);
  EXPECT_EQ(app.mainWindowHidden, 0);
}

}  // namespace
