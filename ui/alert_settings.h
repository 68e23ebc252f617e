// The alert settings window (window 3) and the sound-file chooser.
#pragma once

#include <string>

// Control ids of window 3.
constexpr int kAlertOkButton = 10;
constexpr int kAlertLevelSpin = 11;
constexpr int kAlertBrowseButton = 12;
constexpr int kAlertSoundField = 13;
constexpr int kAlertAverageCheck = 14;

// Opens top-level window `number` centred over the active window: half the
// difference of the outer sizes from the active window's left and top edge,
// each made 0 when negative; at (0, 0) when no window is active. False when
// the window cannot be created.
bool OpenCentredWindow(int number, const std::string& title, unsigned style, int clientWidth,
                       int clientHeight);
void OpenAlertSettings();
// Thread procedure of the "browse" button; the argument is not used.
void BrowseAlertSound(void* argument);
// On the user-interface thread: takes a sound file chosen by BrowseAlertSound.
void StoreChosenSound(const std::string& path);
