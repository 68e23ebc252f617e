// The main window as start-up builds it: window, menus, image control,
// status bar, tray icon; and what happens when parts cannot be created.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"

namespace {

struct Expected {
  int id;
  const char* text;
  bool enabled;
};

void ExpectItems(const sim::MenuItem& menu, const std::vector<Expected>& items) {
  ASSERT_EQ(menu.children.size(), items.size()) << menu.text;
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(menu.children[i].id, items[i].id) << menu.text << " #" << i;
    EXPECT_EQ(menu.children[i].text, items[i].text) << menu.text << " #" << i;
    EXPECT_EQ(menu.children[i].enabled, items[i].enabled) << menu.text << " #" << i;
    EXPECT_FALSE(menu.children[i].checked) << menu.text << " #" << i;
  }
}

TEST(MainWindow, IsAFixedCentredWindowWithGreyedClose) {
  scenario::StartProgram();
  sim::WindowInfo w = sim::Window(kMainWindow);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.title, "tessivar  Geiger Counter");
  EXPECT_EQ(w.style, unsigned{platform::kStyleCaption | platform::kStyleSysMenu |
                              platform::kStyleMinimizeBox | platform::kStyleMaximizeBox});
  int outerWidth = 0, outerHeight = 0;
  platform::OuterSizeForClient(w.style, 600, 300, &outerWidth, &outerHeight);
  EXPECT_EQ(w.x, (1024 - outerWidth) / 2);
  EXPECT_EQ(w.y, (768 - outerHeight) / 2);
  EXPECT_EQ(w.clientWidth, 600);
  EXPECT_LT(w.clientHeight, 300) << "the menu bar takes its height out of the client area";
  EXPECT_TRUE(w.visible);
  EXPECT_FALSE(w.closeEnabled);
  EXPECT_EQ(w.icon, kIconImage);
  EXPECT_EQ(app.mainWindowHidden, 0);
}

TEST(MainWindow, BuildsTheMenuTreeInOrder) {
  scenario::StartProgram();
  std::vector<sim::MenuItem> bar = sim::MenuBar();
  ASSERT_EQ(bar.size(), 4u);
  EXPECT_EQ(bar[0].text, "Local");
  EXPECT_EQ(bar[1].text, "Register");
  EXPECT_EQ(bar[2].text, "Network");
  EXPECT_EQ(bar[3].text, "Help");

  ASSERT_EQ(bar[0].children.size(), 4u);
  const sim::MenuItem& serial = bar[0].children[0];
  EXPECT_EQ(serial.id, -1);
  EXPECT_EQ(serial.text, "Serial Port");
  ExpectItems(serial, {{0, "", true}});  // no port found
  bar[0].children.erase(bar[0].children.begin());
  ExpectItems(
      bar[0],
      {{268, "Open Data Directory", true}, {272, "Set Audible Alert", true}, {262, "Quit", true}});
  ExpectItems(bar[1], {{263, "Network ID: ", false},
                       {265, "Register software", true},
                       {266, "Set My Location", true}});
  ExpectItems(bar[2], {{264, "Show full chart", true}});
  ExpectItems(bar[3], {{269, "Help", true}, {270, "Online Help", true}, {271, "About", true}});
}

TEST(MainWindow, HasTheChartControlStatusBarAndTray) {
  scenario::StartProgram();
  sim::ControlInfo chart = sim::Control(kChartControl);
  ASSERT_TRUE(chart.exists);
  EXPECT_EQ(chart.window, kMainWindow);
  EXPECT_EQ(chart.kind, platform::kControlImage);
  EXPECT_EQ(chart.x, 0);
  EXPECT_EQ(chart.y, 0);
  EXPECT_EQ(chart.width, 600);
  EXPECT_EQ(chart.height, 250);

  EXPECT_EQ(sim::StatusFieldEdges(), (std::vector<int>{40, -1}));
  sim::ProgressInfo progress = sim::StatusProgress();
  EXPECT_TRUE(progress.exists);
  EXPECT_EQ(progress.field, 0);
  EXPECT_EQ(progress.low, 0);
  EXPECT_EQ(progress.high, 100);
  EXPECT_EQ(progress.position, 0);

  sim::TrayInfo tray = sim::Tray(kTrayIconId);
  ASSERT_TRUE(tray.exists);
  EXPECT_EQ(tray.window, kMainWindow);
  EXPECT_EQ(tray.image, kIconImage);
  EXPECT_EQ(tray.tooltip, "tessivar");
}

TEST(MainWindow, ShowsTheFirstStatusTextAndKeepsTheSecondUnshown) {
  scenario::StartProgram();
  EXPECT_EQ(sim::StatusFieldHistory(1), std::vector<std::string>{"Initializing... NetworkID = "});
  EXPECT_EQ(app.statusText, "Initializing... NetworkID =   Well I did initialize....");
}

TEST(MainWindow, WithoutAWindowThereIsNothingElseButTheLoopRuns) {
  sim::Reset();
  sim::FailNextWindow();
  RunStartup();
  EXPECT_FALSE(sim::Window(kMainWindow).exists);
  EXPECT_TRUE(sim::MenuBar().empty());
  EXPECT_FALSE(sim::StatusBarExists());
  EXPECT_FALSE(sim::Tray(kTrayIconId).exists);
  EXPECT_FALSE(sim::Timer(0).exists);
  EXPECT_EQ(app.statusText, "");
  scenario::RunLoopTurns(3);
  EXPECT_EQ(app.quitRequested, 1);
}

TEST(MainWindow, WithoutAMenuBarTheControlAndStatusBarAreStillBuilt) {
  sim::Reset();
  sim::FailMenuBar();
  RunStartup();
  EXPECT_TRUE(sim::MenuBar().empty());
  EXPECT_EQ(app.selectedPort, 0);
  EXPECT_TRUE(sim::Control(kChartControl).exists);
  EXPECT_EQ(sim::StatusField(1), "Initializing... NetworkID = ");
}

TEST(MainWindow, WithoutAStatusBarItsTextsAreLostQuietly) {
  sim::Reset();
  sim::FailStatusBar();
  RunStartup();
  EXPECT_FALSE(sim::StatusBarExists());
  EXPECT_TRUE(sim::StatusFieldHistory(1).empty());
  EXPECT_TRUE(sim::Tray(kTrayIconId).exists);
}

TEST(MainWindow, MenuItemOperationsOnAMissingIdDoNothing) {
  scenario::StartProgram();
  std::vector<sim::MenuItem> before = sim::MenuBar();
  SetMenuItemChecked(999, 1);
  SetMenuItemText(999, "nothing");
  EXPECT_EQ(sim::FindMenuItem(999).id, -1);
  EXPECT_EQ(sim::MenuBar().size(), before.size());
  SetMenuItemChecked(kMenuQuit, 1);
  EXPECT_TRUE(sim::FindMenuItem(kMenuQuit).checked);
  SetMenuItemChecked(kMenuQuit, 0);
  EXPECT_FALSE(sim::FindMenuItem(kMenuQuit).checked);
}

}  // namespace
