#include "ui/main_window.h"

#include "app/app_state.h"
#include "device/serial_connection.h"
#include "platform/platform.h"

namespace {

constexpr unsigned kMainStyle = platform::kStyleCaption | platform::kStyleSysMenu |
                                platform::kStyleMinimizeBox | platform::kStyleMaximizeBox;
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 300;

}  // namespace

void DisableCloseCommand(int window) {
  platform::DisableCloseCommand(window);
  platform::RedrawMenuBar(window);
}

void AddMenuItem(int id, const std::string& text) {
  platform::AppendMenuItem(id, text);
}

void SetMenuItemChecked(int id, int mark) {
  platform::SetMenuItemCheck(id, mark != 0);
}

void SetMenuItemText(int id, const std::string& text) {
  platform::SetMenuItemLabel(id, text);
}

void SetStatusBarText(int field, const std::string& text) {
  platform::SetStatusField(field, text);
}

void BuildMainWindow() {
  int screenWidth = 0, screenHeight = 0, outerWidth = 0, outerHeight = 0;
  platform::ScreenSize(&screenWidth, &screenHeight);
  platform::OuterSizeForClient(kMainStyle, kClientWidth, kClientHeight, &outerWidth, &outerHeight);
  if (!platform::CreateTopWindow(kMainWindow, "tessivar  Geiger Counter", kMainStyle,
                                 (screenWidth - outerWidth) / 2, (screenHeight - outerHeight) / 2,
                                 kClientWidth, kClientHeight)) {
    return;
  }
  platform::SetWindowIcon(kMainWindow, kIconImage);
  DisableCloseCommand(kMainWindow);

  if (platform::CreateMenuBar(kMainWindow)) {
    platform::BeginSubmenu("Local");
    platform::BeginSubmenu("Serial Port");
    ScanSerialPorts();
    platform::EndSubmenu();
    AddMenuItem(kMenuOpenDataDirectory, "Open Data Directory");
    AddMenuItem(kMenuAlertSettings, "Set Audible Alert");
    AddMenuItem(kMenuQuit, "Quit");
    platform::EndSubmenu();

    platform::BeginSubmenu("Register");
    AddMenuItem(kMenuNetworkId, "Network ID: " + app.networkId);
    platform::SetMenuItemEnabled(kMenuNetworkId, false);
    AddMenuItem(kMenuRegister, "Register software");
    AddMenuItem(kMenuSetLocation, "Set My Location");
    platform::EndSubmenu();

    platform::BeginSubmenu("Network");
    AddMenuItem(kMenuShowFullChart, "Show full chart");
    platform::EndSubmenu();

    platform::BeginSubmenu("Help");
    AddMenuItem(kMenuHelp, "Help");
    AddMenuItem(kMenuOnlineHelp, "Online Help");
    AddMenuItem(kMenuAbout, "About");
    platform::EndSubmenu();
    platform::RedrawMenuBar(kMainWindow);
  }

  platform::CreateControl(kMainWindow, kChartControl, platform::kControlImage, 0, 0, 600, 250, "");

  if (platform::CreateStatusBar(kMainWindow)) {
    platform::SetStatusFields({40, -1});
  }
  platform::AddStatusProgressBar(0, 0, 100, 0);

  app.statusText = "Initializing... NetworkID = " + app.networkId;
  SetStatusBarText(1, app.statusText);
  // Kept in the running text but not shown: the next writer either appends
  // to it (a failed open) or replaces it.
  app.statusText += "  Well I did initialize....";
}

void AddTrayIcon() {
  platform::AddTrayIcon(kMainWindow, kTrayIconId, kIconImage);
  platform::SetTrayTooltip(kTrayIconId, "tessivar");
}

void HideMainWindow() {
  if (app.mainWindowHidden != 0) return;
  app.mainWindowHidden = 1;
  platform::HideWindow(kMainWindow);
}

void ShowMainWindow() {
  if (app.mainWindowHidden == 0) return;
  app.mainWindowHidden = 0;
  platform::ShowWindowAsBefore(kMainWindow);
  platform::RestoreWindow(kMainWindow);
  platform::ActivateWindow(kMainWindow);
}
