// win32 backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

namespace platform {

// Process

void InitializePlatform() {
}

void EndProcess(int exitCode) {
  (void)exitCode;
}

// Events

int WaitEvent(int ms) {
  (void)ms;
  return 0;
}

int EventItem() {
  return 0;
}

std::string EventText() {
  return {};
}

bool ProcessPendingEvent() {
  return false;
}

void YieldProcessor() {
}

void PostSoundChosen(const std::string& path) {
  (void)path;
}

// Windows and controls

void ScreenSize(int* widthOut, int* heightOut) {
  (void)widthOut; (void)heightOut;
}

void OuterSizeForClient(unsigned style, int clientWidth, int clientHeight, int* widthOut, int* heightOut) {
  (void)style; (void)clientWidth; (void)clientHeight; (void)widthOut; (void)heightOut;
}

bool ActiveWindowRect(Rect* rectOut) {
  (void)rectOut;
  return false;
}

bool CreateTopWindow(int number, const std::string& title, unsigned style, int x, int y, int clientWidth, int clientHeight) {
  (void)number; (void)title; (void)style; (void)x; (void)y; (void)clientWidth; (void)clientHeight;
  return false;
}

bool WindowExists(int number) {
  (void)number;
  return false;
}

void CloseWindow(int number) {
  (void)number;
}

void SetWindowIcon(int number, int image) {
  (void)number; (void)image;
}

void DisableCloseCommand(int number) {
  (void)number;
}

void HideWindow(int number) {
  (void)number;
}

void ShowWindowAsBefore(int number) {
  (void)number;
}

void RestoreWindow(int number) {
  (void)number;
}

void ActivateWindow(int number) {
  (void)number;
}

int ForegroundWindow() {
  return 0;
}

bool CreateControl(int window, int id, ControlKind kind, int x, int y, int width, int height, const std::string& text) {
  (void)window; (void)id; (void)kind; (void)x; (void)y; (void)width; (void)height; (void)text;
  return false;
}

bool ControlExists(int id) {
  (void)id;
  return false;
}

void SetControlText(int id, const std::string& text) {
  (void)id; (void)text;
}

std::string ControlText(int id) {
  (void)id;
  return {};
}

void SetSpinRange(int id, int low, int high) {
  (void)id; (void)low; (void)high;
}

void SetSpinValue(int id, int value) {
  (void)id; (void)value;
}

int SpinValue(int id) {
  (void)id;
  return 0;
}

void SetCheckBox(int id, bool ticked) {
  (void)id; (void)ticked;
}

bool CheckBoxTicked(int id) {
  (void)id;
  return false;
}

void SetImageControlPicture(int id, int image) {
  (void)id; (void)image;
}

// Menus

bool CreateMenuBar(int window) {
  (void)window;
  return false;
}

void BeginSubmenu(const std::string& text) {
  (void)text;
}

void EndSubmenu() {
}

void AppendMenuItem(int id, const std::string& text) {
  (void)id; (void)text;
}

void SetMenuItemEnabled(int id, bool enabled) {
  (void)id; (void)enabled;
}

void SetMenuItemCheck(int id, bool checked) {
  (void)id; (void)checked;
}

void SetMenuItemLabel(int id, const std::string& text) {
  (void)id; (void)text;
}

void RedrawMenuBar(int window) {
  (void)window;
}

// Status bar

bool CreateStatusBar(int window) {
  (void)window;
  return false;
}

void SetStatusFields(const std::vector<int>& rightEdges) {
  (void)rightEdges;
}

void AddStatusProgressBar(int field, int low, int high, int position) {
  (void)field; (void)low; (void)high; (void)position;
}

void SetStatusField(int field, const std::string& text) {
  (void)field; (void)text;
}

// Tray

bool AddTrayIcon(int window, int id, int image) {
  (void)window; (void)id; (void)image;
  return false;
}

void SetTrayTooltip(int id, const std::string& text) {
  (void)id; (void)text;
}

void RemoveTrayIcon(int id) {
  (void)id;
}

// Timer

bool StartTimer(int window, int id, int ms) {
  (void)window; (void)id; (void)ms;
  return false;
}

// Clock

int64_t LocalNow() {
  return 0;
}

}  // namespace platform
