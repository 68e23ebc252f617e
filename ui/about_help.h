// The About window (window 1) and the Help window (window 4).
#pragma once

#include <string>

// Control ids.
constexpr int kHelpBrowser = 2;
constexpr int kAboutOkButton = 8;
constexpr int kAboutLink = 264;

void OpenAbout();
void OpenHelp();
// The URL under which the embedded browser finds a resource of the program file.
std::string ResourceUrl(const std::string& page);
// Navigation callback of the help browser: nonzero lets the navigation proceed.
int OnHelpNavigate(int control, const std::string& url);
