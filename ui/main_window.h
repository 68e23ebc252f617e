// The main window, its menus, status bar and tray icon.
#pragma once

#include <string>

// Menu item ids.
constexpr int kMenuNoPort = 0;
constexpr int kMenuQuit = 262;
constexpr int kMenuNetworkId = 263;
constexpr int kMenuShowFullChart = 264;
constexpr int kMenuRegister = 265;
constexpr int kMenuSetLocation = 266;
constexpr int kMenuOpenDataDirectory = 268;
constexpr int kMenuHelp = 269;
constexpr int kMenuOnlineHelp = 270;
constexpr int kMenuAbout = 271;
constexpr int kMenuAlertSettings = 272;

// Tray icon id.
constexpr int kTrayIconId = 0;

void BuildMainWindow();
void AddTrayIcon();
void ShowMainWindow();
void HideMainWindow();
void DisableCloseCommand(int window);
// Appends an item to the menu being built (only while BuildMainWindow runs).
void AddMenuItem(int id, const std::string& text);
void SetMenuItemChecked(int id, int mark);
void SetMenuItemText(int id, const std::string& text);
// Shows `text` in a status bar field; `app.statusText` is not changed.
void SetStatusBarText(int field, const std::string& text);
