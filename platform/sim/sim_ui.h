// Test-facing controls of the sim backend: events, windows, controls, menus,
// status bar, tray, timer and the clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot: no
// windows, no events, 96 DPI, a 1024x768 screen, the clock at 2014-02-21
// 12:00:00 local (date value 1392984000).
void ResetUi();

// ---- Clock. Waits for events advance it; nothing else does unless a test says so.
void SetLocalNow(int64_t dateValue);
// Moves the clock on by `ms` milliseconds, raising timer events that fall due.
void AdvanceClock(int64_t ms);
// Milliseconds since boot.
int64_t ElapsedMs();

// ---- Events, queued as a system would deliver them to the program's loop.
void PushEvent(int code, int item);
void PushMenuCommand(int id);
void PushControlEvent(int id);
void PushCloseRequest(int window);
// The user minimises window `window`: it becomes minimised and raises the event.
void Minimise(int window);
// The user maximises window `window`.
void Maximise(int window);
// A press or double-click on tray icon `id`; a double-click raises a press
// event and then a double-click event, as the system does.
void ClickTray(int id);
void DoubleClickTray(int id);
// After `turns` more waits that end with no event, the next wait delivers
// the menu command Quit (262), as a user choosing it would.
void QuitAfterIdleTurns(int turns);
// Called at the start of every WaitEvent with the number of waits so far;
// lets a test act "while the program runs" (feed a port, push an event).
void OnWait(void (*hook)(int waitNumber));
// Runs fn(arg) at the start of the next WaitEvent, after the current event's
// handling has returned (how a system delivers a posted message).
void RunAtNextWait(void (*fn)(int), int arg);
// Events taken by the program's loop (WaitEvent results), in order.
std::vector<int> DeliveredEvents();
// Events handled by ProcessPendingEvent without reaching the program.
int DrainedEventCount();

// ---- Windows and controls.
struct WindowInfo {
  bool exists = false;
  std::string title;
  unsigned style = 0;
  int x = 0, y = 0, clientWidth = 0, clientHeight = 0;
  bool visible = false;
  bool minimised = false, maximised = false;
  bool active = false;
  bool closeEnabled = true;
  int icon = -1;
};
WindowInfo Window(int number);
// Make window `number` the active one (-1: none), as a user clicking it would.
void SetActiveWindow(int number);
struct ControlInfo {
  bool exists = false;
  int window = -1;
  int kind = -1;  // platform::ControlKind
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;
  int spinLow = 0, spinHigh = 0, spinValue = 0;
  bool ticked = false;
  int picture = -1;  // image shown by an image control
  int pictureUpdates = 0;
};
ControlInfo Control(int id);
// The user types `text` into spin `id`'s field: its value follows and a control event is raised.
void TypeIntoSpin(int id, const std::string& text);
// The user clicks the spin's up or down arrow once.
void StepSpin(int id, int steps);
// The user clicks check box `id`: it toggles and raises a control event.
void ClickCheckBox(int id);
// Order in which controls were created: (window, id) pairs, id -1 for controls without id.
std::vector<std::pair<int, int>> ControlCreationOrder();
void SetScreenDpi(int dpi);
int CurrentScreenDpi();
// Texts of the controls without id (-1) of window `window`, in creation order.
std::vector<std::string> StaticTexts(int window);
// Make the next CreateTopWindow / CreateMenuBar / CreateStatusBar fail.
void FailNextWindow();
void FailMenuBar();
void FailStatusBar();

// ---- Menus.
struct MenuItem {
  int id = -1;  // -1 for a submenu
  std::string text;
  bool checked = false, enabled = true;
  std::vector<MenuItem> children;  // for a submenu
};
// The menu bar of the main window as a tree of top-level submenus.
std::vector<MenuItem> MenuBar();
// The item with `id`; id -1 and empty text when none.
MenuItem FindMenuItem(int id);

// ---- Status bar.
bool StatusBarExists();
std::vector<int> StatusFieldEdges();
std::string StatusField(int field);
// Every text shown in `field`, in order.
std::vector<std::string> StatusFieldHistory(int field);
struct ProgressInfo {
  bool exists = false;
  int field = -1, low = 0, high = 0, position = 0;
};
ProgressInfo StatusProgress();

// ---- Tray.
struct TrayInfo {
  bool exists = false;
  int window = -1, image = -1;
  std::string tooltip;
};
TrayInfo Tray(int id);
// The shell restarts: every tray icon is gone and the program is told.
void RestartShell();

// ---- Timers.
struct TimerInfo {
  bool exists = false;
  int window = -1, id = -1, ms = 0;
};
TimerInfo Timer(int id);

// ---- Process.
// Exit code given to EndProcess, -1 before it was called.
int ExitCode();

}  // namespace sim
