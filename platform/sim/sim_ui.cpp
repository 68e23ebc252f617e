// sim backend: events, windows, controls, menus, status bar, tray, timer and
// the clock, kept in memory and driven by the tests through sim_ui.h.
//
// [x] event wait with a fake clock, timers, posted events from other threads
// [x] windows with show/hide/minimise/maximise/restore/activate
// [x] controls: static, image, spin, check box, read-only field, button, link
// [x] menu bar tree with check marks, grey state and texts
// [x] status bar with fields and a progress bar
// [x] tray icons and a shell restart
#include "platform/sim/sim_ui.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>

#include "platform/platform.h"

namespace {

constexpr int64_t kBootDateValue = 1392984000;  // 2014-02-21 12:00:00 local
constexpr int kMenuBarHeight = 20;
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 31;

struct Event {
  int code;
  int item;
  std::string text;
};

struct Timer {
  sim::TimerInfo info;
  int64_t dueMs;
};

struct Control {
  sim::ControlInfo info;
  int id;
};

struct Menu {
  bool exists = false;
  int window = -1;
  sim::MenuItem root;
  std::vector<std::vector<int>> buildPath;  // child indexes from root to the menu being built
};

struct Ui {
  int64_t elapsedMs = 0;
  int64_t bootDateValue = kBootDateValue;
  int dpi = 96;
  int screenWidth = 1024, screenHeight = 768;

  std::mutex queueMutex;  // PostSoundChosen comes from worker threads
  std::deque<Event> queue;
  Event last{0, 0, {}};
  int waits = 0;
  int quitCountdown = -1;
  void (*waitHook)(int) = nullptr;
  std::vector<std::pair<void (*)(int), int>> atNextWait;
  std::vector<int> delivered;
  int drained = 0;

  std::map<int, sim::WindowInfo> windows;
  // Asked by the file dialog from its worker thread.
  std::atomic<int> active{-1};
  bool failWindow = false, failMenuBar = false, failStatusBar = false;

  std::vector<Control> controls;  // in creation order; id -1 for controls without id

  Menu menu;

  bool statusExists = false;
  int statusWindow = -1;
  std::vector<int> statusEdges;
  std::map<int, std::vector<std::string>> statusHistory;
  sim::ProgressInfo progress;

  std::map<int, sim::TrayInfo> tray;
  std::vector<Timer> timers;
  int exitCode = -1;
};

Ui* ui = new Ui;  // never freed: worker threads may still post while the process ends

void Push(int code, int item, const std::string& text = {}) {
  std::lock_guard<std::mutex> hold(ui->queueMutex);
  ui->queue.push_back(Event{code, item, text});
}

bool Pop(Event* eventOut) {
  std::lock_guard<std::mutex> hold(ui->queueMutex);
  if (ui->queue.empty()) return false;
  *eventOut = ui->queue.front();
  ui->queue.pop_front();
  return true;
}

Control* FindControl(int id) {
  if (id < 0) return nullptr;
  for (Control& control : ui->controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

sim::MenuItem* FindItemIn(sim::MenuItem& menu, int id) {
  for (sim::MenuItem& child : menu.children) {
    if (child.id == id) return &child;
    if (child.id == -1) {
      if (sim::MenuItem* found = FindItemIn(child, id)) return found;
    }
  }
  return nullptr;
}

sim::MenuItem* FindItem(int id) {
  if (!ui->menu.exists) return nullptr;
  return FindItemIn(ui->menu.root, id);
}

sim::MenuItem* MenuBeingBuilt() {
  if (!ui->menu.exists || ui->menu.buildPath.empty()) return nullptr;
  sim::MenuItem* menu = &ui->menu.root;
  for (int index : ui->menu.buildPath.back()) menu = &menu->children[index];
  return menu;
}

void DestroyWindowState(int number) {
  ui->controls.erase(std::remove_if(ui->controls.begin(), ui->controls.end(),
                                    [number](const Control& c) { return c.info.window == number; }),
                     ui->controls.end());
  if (ui->menu.window == number) ui->menu = Menu{};
  if (ui->statusWindow == number) {
    ui->statusExists = false;
    ui->progress = sim::ProgressInfo{};
  }
  for (auto it = ui->timers.begin(); it != ui->timers.end();) {
    it = it->info.window == number ? ui->timers.erase(it) : it + 1;
  }
  ui->windows.erase(number);
  if (ui->active == number) ui->active = -1;
}

// Advances the clock to the earlier of `ms` from now and the next timer due;
// returns the id of the timer that fired, or -1.
int AdvanceUntilTimer(int64_t ms) {
  int64_t limit = ui->elapsedMs + ms;
  Timer* next = nullptr;
  for (Timer& timer : ui->timers) {
    if (timer.dueMs <= limit && (next == nullptr || timer.dueMs < next->dueMs)) next = &timer;
  }
  if (next == nullptr) {
    ui->elapsedMs = limit;
    return -1;
  }
  ui->elapsedMs = std::max(ui->elapsedMs, next->dueMs);
  next->dueMs += next->info.ms;
  return next->info.id;
}

int Deliver(const Event& event) {
  ui->last = event;
  ui->delivered.push_back(event.code);
  return event.code;
}

int Clamp(int value, int low, int high) {
  return std::min(std::max(value, low), high);
}

}  // namespace

namespace platform {

// Process

void InitializePlatform() {}

void EndProcess(int exitCode) {
  ui->exitCode = exitCode;
}

// Events

int WaitEvent(int ms) {
  int waitNumber = ui->waits++;
  auto runNow = std::move(ui->atNextWait);
  ui->atNextWait.clear();
  for (auto& [fn, arg] : runNow) fn(arg);
  if (ui->waitHook != nullptr) ui->waitHook(waitNumber);

  Event event;
  if (Pop(&event)) return Deliver(event);
  if (ui->quitCountdown == 0) {
    ui->quitCountdown = -1;
    return Deliver(Event{kEventMenu, 262, {}});
  }
  int timer = AdvanceUntilTimer(ms);
  if (timer >= 0) return Deliver(Event{kEventTimer, timer, {}});
  if (ui->quitCountdown > 0) --ui->quitCountdown;
  return Deliver(Event{kEventNone, 0, {}});
}

int EventItem() {
  return ui->last.item;
}

std::string EventText() {
  return ui->last.text;
}

bool ProcessPendingEvent() {
  Event event;
  if (!Pop(&event)) return false;
  ++ui->drained;
  return true;
}

void YieldProcessor() {}

void PostSoundChosen(const std::string& path) {
  Push(kEventSoundChosen, 0, path);
}

// Windows and controls

void ScreenSize(int* widthOut, int* heightOut) {
  *widthOut = ui->screenWidth;
  *heightOut = ui->screenHeight;
}

void OuterSizeForClient(unsigned style, int clientWidth, int clientHeight, int* widthOut,
                        int* heightOut) {
  (void)style;
  *widthOut = clientWidth + kFrameWidth;
  *heightOut = clientHeight + kFrameHeight;
}

bool ActiveWindowRect(Rect* rectOut) {
  auto it = ui->windows.find(ui->active);
  if (it == ui->windows.end()) return false;
  const sim::WindowInfo& w = it->second;
  rectOut->x = w.x;
  rectOut->y = w.y;
  OuterSizeForClient(w.style, w.clientWidth, w.clientHeight, &rectOut->width, &rectOut->height);
  if (ui->menu.exists && ui->menu.window == ui->active) rectOut->height += kMenuBarHeight;
  return true;
}

bool CreateTopWindow(int number, const std::string& title, unsigned style, int x, int y,
                     int clientWidth, int clientHeight) {
  if (ui->windows.count(number) != 0) CloseWindow(number);
  if (ui->failWindow) {
    ui->failWindow = false;
    return false;
  }
  sim::WindowInfo w;
  w.exists = true;
  w.title = title;
  w.style = style;
  w.x = x;
  w.y = y;
  w.clientWidth = clientWidth;
  w.clientHeight = clientHeight;
  w.visible = true;
  ui->windows[number] = w;
  ui->active = number;
  // A new window is painted and activated: messages the program never acts on.
  Push(kEventOther, 0);
  return true;
}

bool WindowExists(int number) {
  return ui->windows.count(number) != 0;
}

void CloseWindow(int number) {
  if (ui->windows.count(number) == 0) return;
  DestroyWindowState(number);
}

void SetWindowIcon(int number, int image) {
  auto it = ui->windows.find(number);
  if (it != ui->windows.end()) it->second.icon = image;
}

void DisableCloseCommand(int number) {
  auto it = ui->windows.find(number);
  if (it != ui->windows.end()) it->second.closeEnabled = false;
}

void HideWindow(int number) {
  auto it = ui->windows.find(number);
  if (it == ui->windows.end()) return;
  it->second.visible = false;
  if (ui->active == number) ui->active = -1;
}

void ShowWindowAsBefore(int number) {
  auto it = ui->windows.find(number);
  if (it != ui->windows.end()) it->second.visible = true;
}

void RestoreWindow(int number) {
  auto it = ui->windows.find(number);
  if (it == ui->windows.end()) return;
  it->second.minimised = false;
  it->second.maximised = false;
}

void ActivateWindow(int number) {
  if (ui->windows.count(number) != 0 && ui->windows[number].visible) ui->active = number;
}

int ForegroundWindow() {
  return ui->active;
}

bool CreateControl(int window, int id, ControlKind kind, int x, int y, int width, int height,
                   const std::string& text) {
  if (ui->windows.count(window) == 0) return false;
  Control control;
  control.id = id;
  control.info.exists = true;
  control.info.window = window;
  control.info.kind = kind;
  control.info.x = x;
  control.info.y = y;
  control.info.width = width;
  control.info.height = height;
  control.info.text = text;
  ui->controls.push_back(control);
  return true;
}

bool ControlExists(int id) {
  return FindControl(id) != nullptr;
}

void SetControlText(int id, const std::string& text) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.text = text;
  // Text fields report every change of their text, also one made by the program.
  if (control->info.kind == kControlReadOnly || control->info.kind == kControlSpin) {
    Push(kEventControl, id);
  }
}

std::string ControlText(int id) {
  Control* control = FindControl(id);
  return control == nullptr ? std::string() : control->info.text;
}

void SetSpinRange(int id, int low, int high) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.spinLow = low;
  control->info.spinHigh = high;
}

void SetSpinValue(int id, int value) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.spinValue = Clamp(value, control->info.spinLow, control->info.spinHigh);
  SetControlText(id, std::to_string(control->info.spinValue));
}

int SpinValue(int id) {
  Control* control = FindControl(id);
  return control == nullptr ? 0 : control->info.spinValue;
}

void SetCheckBox(int id, bool ticked) {
  Control* control = FindControl(id);
  if (control != nullptr) control->info.ticked = ticked;
}

bool CheckBoxTicked(int id) {
  Control* control = FindControl(id);
  return control != nullptr && control->info.ticked;
}

void SetImageControlPicture(int id, int image) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.picture = image;
  ++control->info.pictureUpdates;
}

// Menus

bool CreateMenuBar(int window) {
  if (ui->windows.count(window) == 0) return false;
  if (ui->failMenuBar) {
    ui->failMenuBar = false;
    return false;
  }
  ui->menu = Menu{};
  ui->menu.exists = true;
  ui->menu.window = window;
  ui->menu.buildPath.push_back({});
  // The menu bar takes its height out of the client area; the outer size stays.
  ui->windows[window].clientHeight -= kMenuBarHeight;
  return true;
}

void BeginSubmenu(const std::string& text) {
  sim::MenuItem* parent = MenuBeingBuilt();
  if (parent == nullptr) return;
  sim::MenuItem submenu;
  submenu.id = -1;
  submenu.text = text;
  parent->children.push_back(submenu);
  std::vector<int> path = ui->menu.buildPath.back();
  path.push_back(static_cast<int>(parent->children.size()) - 1);
  ui->menu.buildPath.push_back(path);
}

void EndSubmenu() {
  if (ui->menu.buildPath.size() > 1) ui->menu.buildPath.pop_back();
}

void AppendMenuItem(int id, const std::string& text) {
  sim::MenuItem* parent = MenuBeingBuilt();
  if (parent == nullptr) return;
  sim::MenuItem item;
  item.id = id;
  item.text = text;
  parent->children.push_back(item);
}

void SetMenuItemEnabled(int id, bool enabled) {
  if (sim::MenuItem* item = FindItem(id)) item->enabled = enabled;
}

void SetMenuItemCheck(int id, bool checked) {
  if (sim::MenuItem* item = FindItem(id)) item->checked = checked;
}

void SetMenuItemLabel(int id, const std::string& text) {
  if (sim::MenuItem* item = FindItem(id)) item->text = text;
}

void RedrawMenuBar(int window) {
  (void)window;
}

// Status bar

bool CreateStatusBar(int window) {
  if (ui->windows.count(window) == 0) return false;
  if (ui->failStatusBar) {
    ui->failStatusBar = false;
    return false;
  }
  ui->statusExists = true;
  ui->statusWindow = window;
  ui->statusEdges = {-1};
  ui->statusHistory.clear();
  return true;
}

void SetStatusFields(const std::vector<int>& rightEdges) {
  if (ui->statusExists) ui->statusEdges = rightEdges;
}

void AddStatusProgressBar(int field, int low, int high, int position) {
  if (!ui->statusExists) return;
  ui->progress = sim::ProgressInfo{true, field, low, high, position};
}

void SetStatusField(int field, const std::string& text) {
  if (ui->statusExists) ui->statusHistory[field].push_back(text);
}

// Tray

bool AddTrayIcon(int window, int id, int image) {
  if (ui->windows.count(window) == 0) return false;
  sim::TrayInfo icon;
  icon.exists = true;
  icon.window = window;
  icon.image = image;
  ui->tray[id] = icon;
  return true;
}

void SetTrayTooltip(int id, const std::string& text) {
  auto it = ui->tray.find(id);
  if (it != ui->tray.end()) it->second.tooltip = text.substr(0, 63);
}

void RemoveTrayIcon(int id) {
  ui->tray.erase(id);
}

// Timer

bool StartTimer(int window, int id, int ms) {
  if (ui->windows.count(window) == 0 || ms <= 0) return false;
  for (auto it = ui->timers.begin(); it != ui->timers.end(); ++it) {
    if (it->info.window == window && it->info.id == id) {
      ui->timers.erase(it);
      break;
    }
  }
  ui->timers.push_back(Timer{sim::TimerInfo{true, window, id, ms}, ui->elapsedMs + ms});
  return true;
}

// Clock

int64_t LocalNow() {
  return ui->bootDateValue + ui->elapsedMs / 1000;
}

}  // namespace platform

namespace sim {

void ResetUi() {
  {
    std::lock_guard<std::mutex> hold(ui->queueMutex);
    ui->queue.clear();
  }
  ui->elapsedMs = 0;
  ui->bootDateValue = kBootDateValue;
  ui->dpi = 96;
  ui->last = Event{0, 0, {}};
  ui->waits = 0;
  ui->quitCountdown = -1;
  ui->waitHook = nullptr;
  ui->atNextWait.clear();
  ui->delivered.clear();
  ui->drained = 0;
  ui->windows.clear();
  ui->active = -1;
  ui->failWindow = ui->failMenuBar = ui->failStatusBar = false;
  ui->controls.clear();
  ui->menu = Menu{};
  ui->statusExists = false;
  ui->statusWindow = -1;
  ui->statusEdges.clear();
  ui->statusHistory.clear();
  ui->progress = ProgressInfo{};
  ui->tray.clear();
  ui->timers.clear();
  ui->exitCode = -1;
}

void SetLocalNow(int64_t dateValue) {
  ui->bootDateValue = dateValue - ui->elapsedMs / 1000;
}

void AdvanceClock(int64_t ms) {
  int64_t target = ui->elapsedMs + ms;
  for (;;) {
    int timer = AdvanceUntilTimer(target - ui->elapsedMs);
    if (timer < 0) break;
    Push(platform::kEventTimer, timer);
  }
}

int64_t ElapsedMs() {
  return ui->elapsedMs;
}

void PushEvent(int code, int item) {
  Push(code, item);
}
void PushMenuCommand(int id) {
  Push(platform::kEventMenu, id);
}
void PushControlEvent(int id) {
  Push(platform::kEventControl, id);
}
void PushCloseRequest(int window) {
  Push(platform::kEventClose, window);
}

void Minimise(int window) {
  auto it = ui->windows.find(window);
  if (it == ui->windows.end()) return;
  it->second.minimised = true;
  it->second.maximised = false;
  if (ui->active == window) ui->active = -1;
  Push(platform::kEventMinimised, window);
}

void Maximise(int window) {
  auto it = ui->windows.find(window);
  if (it == ui->windows.end()) return;
  it->second.maximised = true;
  it->second.minimised = false;
}

void ClickTray(int id) {
  if (ui->tray.count(id) != 0) Push(platform::kEventTray, id);
}

void DoubleClickTray(int id) {
  if (ui->tray.count(id) == 0) return;
  Push(platform::kEventTray, id);  // the press
  Push(platform::kEventTray, id);  // the double-click
}

void QuitAfterIdleTurns(int turns) {
  ui->quitCountdown = turns;
}

void OnWait(void (*hook)(int waitNumber)) {
  ui->waitHook = hook;
}

void RunAtNextWait(void (*fn)(int), int arg) {
  ui->atNextWait.emplace_back(fn, arg);
}

std::vector<int> DeliveredEvents() {
  return ui->delivered;
}

int DrainedEventCount() {
  return ui->drained;
}

WindowInfo Window(int number) {
  auto it = ui->windows.find(number);
  if (it == ui->windows.end()) return WindowInfo{};
  WindowInfo info = it->second;
  info.active = ui->active == number;
  return info;
}

void SetActiveWindow(int number) {
  ui->active = ui->windows.count(number) != 0 ? number : -1;
}

ControlInfo Control(int id) {
  ::Control* control = FindControl(id);
  return control == nullptr ? ControlInfo{} : control->info;
}

void TypeIntoSpin(int id, const std::string& text) {
  ::Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.text = text;
  control->info.spinValue =
      Clamp(std::atoi(text.c_str()), control->info.spinLow, control->info.spinHigh);
  Push(platform::kEventControl, id);
}

void StepSpin(int id, int steps) {
  ::Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.spinValue =
      Clamp(control->info.spinValue + steps, control->info.spinLow, control->info.spinHigh);
  control->info.text = std::to_string(control->info.spinValue);
  Push(platform::kEventControl, id);
}

void ClickCheckBox(int id) {
  ::Control* control = FindControl(id);
  if (control == nullptr) return;
  control->info.ticked = !control->info.ticked;
  Push(platform::kEventControl, id);
}

std::vector<std::pair<int, int>> ControlCreationOrder() {
  std::vector<std::pair<int, int>> order;
  for (const ::Control& control : ui->controls) order.emplace_back(control.info.window, control.id);
  return order;
}

std::vector<std::string> StaticTexts(int window) {
  std::vector<std::string> texts;
  for (const ::Control& control : ui->controls) {
    if (control.info.window == window && control.id == -1) texts.push_back(control.info.text);
  }
  return texts;
}

void SetScreenDpi(int dpi) {
  ui->dpi = dpi;
}
int CurrentScreenDpi() {
  return ui->dpi;
}
void FailNextWindow() {
  ui->failWindow = true;
}
void FailMenuBar() {
  ui->failMenuBar = true;
}
void FailStatusBar() {
  ui->failStatusBar = true;
}

std::vector<MenuItem> MenuBar() {
  return ui->menu.exists ? ui->menu.root.children : std::vector<MenuItem>{};
}

MenuItem FindMenuItem(int id) {
  sim::MenuItem* item = FindItem(id);
  if (item == nullptr) return MenuItem{};
  return *item;
}

bool StatusBarExists() {
  return ui->statusExists;
}
std::vector<int> StatusFieldEdges() {
  return ui->statusEdges;
}

std::string StatusField(int field) {
  auto it = ui->statusHistory.find(field);
  if (it == ui->statusHistory.end() || it->second.empty()) return {};
  return it->second.back();
}

std::vector<std::string> StatusFieldHistory(int field) {
  auto it = ui->statusHistory.find(field);
  return it == ui->statusHistory.end() ? std::vector<std::string>{} : it->second;
}

ProgressInfo StatusProgress() {
  return ui->progress;
}

TrayInfo Tray(int id) {
  auto it = ui->tray.find(id);
  return it == ui->tray.end() ? TrayInfo{} : it->second;
}

void RestartShell() {
  ui->tray.clear();
  Push(platform::kEventTrayLost, 0);
}

TimerInfo Timer(int id) {
  for (const ::Timer& timer : ui->timers) {
    if (timer.info.id == id) return timer.info;
  }
  return TimerInfo{};
}

int ExitCode() {
  return ui->exitCode;
}

}  // namespace sim
