// The alert settings window (window 3) and the sound-file chooser.
#pragma once

#include <string>

// Control ids of window 3.
constexpr int kAlertOkButton = 10;
constexpr int kAlertLevelSpin = 11;
constexpr int kAlertBrowseButton = 12;
constexpr int kAlertSoundField = 13;
constexpr int kAlertAverageCheck = 14;

void OpenAlertSettings();
// Thread procedure of the "browse" button; the argument is not used.
void BrowseAlertSound(void* argument);
// On the user-interface thread: takes a sound file chosen by BrowseAlertSound.
void StoreChosenSound(const std::string& path);
