// The seam between tessivar and the system it runs on.
//
// Every call the program makes to the outside world goes through the free
// functions below. Windows, controls, menu items, fonts and images are the
// program's own small numbers; serial ports, files and HTTP handles are
// opaque pointers. No system type appears here. Exactly one backend
// (platform/win32, platform/sim, later platform/qt) defines these functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------- Process

// Sets up windows, controls, common controls, COM (single-threaded apartment
// on this thread) and whatever else the backend needs before the first window.
void InitializePlatform();
// Ends the process with the given exit code (the sim backend records it and returns).
void EndProcess(int exitCode);

// ---------------------------------------------------------------- Events

// Event codes as the event loop sees them.
constexpr int kEventNone = 0;           // the wait ended with no event
constexpr int kEventOther = 1;          // any message the program does not act on
constexpr int kEventPoll = 32770;       // raw message 32770, treated like no event
constexpr int kEventTimer = 13110;      // a window timer expired; item = timer id
constexpr int kEventMenu = 13101;       // a menu item was chosen; item = menu item id
constexpr int kEventControl = 13100;    // a control reported something; item = control id
constexpr int kEventClose = 16;         // a window was asked to close; item = window number
constexpr int kEventMinimised = 13107;  // a window was minimised; item = window number
constexpr int kEventTray = 13102;       // a press or double-click on the tray icon; item = icon id
constexpr int kEventTrayLost = 13120;   // the shell restarted and dropped every tray icon
constexpr int kEventSoundChosen = 13121;  // a worker chose a sound file; text = its path

// Waits at most `ms` milliseconds for the next event of any program window
// and returns its code; 0 when the time passed or nothing was there to take.
int WaitEvent(int ms);
// The item number of the event WaitEvent returned last.
int EventItem();
// The text carried by the event WaitEvent returned last (empty for most kinds).
std::string EventText();
// Handles one pending event the usual system way without dispatching it to
// the program; returns false when nothing was pending. Never waits.
bool ProcessPendingEvent();
// Gives the rest of this thread's time slice to others.
void YieldProcessor();
// From any thread: queues a kEventSoundChosen event carrying `path` for the
// user-interface thread.
void PostSoundChosen(const std::string& path);

// ---------------------------------------------------------------- Windows and controls

// Window styles a program window can ask for.
enum WindowStyle : unsigned {
  kStyleCaption = 1u << 0,      // title bar
  kStyleSysMenu = 1u << 1,      // system menu and close box
  kStyleMinimizeBox = 1u << 2,
  kStyleMaximizeBox = 1u << 3,
};

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Size of the primary screen in pixels.
void ScreenSize(int* widthOut, int* heightOut);
// Outer size of a top-level window with `style` whose client area is w x h (no menu bar).
void OuterSizeForClient(unsigned style, int clientWidth, int clientHeight, int* widthOut,
                        int* heightOut);
// Outer rectangle of the program's active window; false when none is active.
bool ActiveWindowRect(Rect* rectOut);
// Creates top-level window `number` (closing one open under that number first)
// with its outer rectangle at (x, y), client size w x h, shown normally at once.
bool CreateTopWindow(int number, const std::string& title, unsigned style, int x, int y,
                     int clientWidth, int clientHeight);
// Whether window `number` exists.
bool WindowExists(int number);
// Destroys window `number` and its controls; nothing happens when it is not open.
void CloseWindow(int number);
// Sets the window's title-bar and task-bar icon from image `image`.
void SetWindowIcon(int number, int image);
// Greys the Close command of the window's system menu (and with it the close box).
void DisableCloseCommand(int number);
// Hides the window: off the screen and out of the task bar.
void HideWindow(int number);
// Makes the window visible again in the state it had when it was hidden.
void ShowWindowAsBefore(int number);
// Restores the window from minimised or maximised to its normal size.
void RestoreWindow(int number);
// Makes the window the active window.
void ActivateWindow(int number);
// The number of the program window in the foreground, or -1 when none is.
int ForegroundWindow();

// Control kinds.
enum ControlKind {
  kControlStatic,    // left-aligned wrapping static text
  kControlImage,     // image display without border
  kControlSpin,      // right-aligned number field with up and down arrows
  kControlCheckBox,  // check box with its text
  kControlReadOnly,  // single-line read-only text field with a sunken edge
  kControlButton,    // push button
  kControlLink,      // underlined text link, blue under the pointer
};

// Creates control `id` in window `window` at (x, y) of the client area; false on failure.
// Text controls use the system's default GUI font.
bool CreateControl(int window, int id, ControlKind kind, int x, int y, int width, int height,
                   const std::string& text);
// Whether control `id` exists in any open window.
bool ControlExists(int id);
// Replaces the text of control `id`; nothing happens when it does not exist.
void SetControlText(int id, const std::string& text);
// The text of control `id` (empty when it does not exist).
std::string ControlText(int id);
// Spin box range and position.
void SetSpinRange(int id, int low, int high);
void SetSpinValue(int id, int value);
// The spin box's position, kept within its range.
int SpinValue(int id);
// Check box state: ticked or not.
void SetCheckBox(int id, bool ticked);
bool CheckBoxTicked(int id);
// Shows image `image` in image control `id`; nothing when the control does not exist.
void SetImageControlPicture(int id, int image);

// ---------------------------------------------------------------- Embedded browser

// Called before each navigation of a browser control; nonzero lets it proceed.
using NavigateHandler = int (*)(int control, const std::string& url);
// Creates browser control `id` filling (x, y, w, h) of window `window`; it has
// loaded "about:blank" when this returns. False when no browser can be created.
bool CreateBrowser(int window, int id, int x, int y, int width, int height);
// Sends browser `id` to `url`.
void BrowserNavigate(int id, const std::string& url);
// Attaches the navigation callback of browser `id`.
void SetBrowserNavigateHandler(int id, NavigateHandler handler);
// Closes window `number` once the current event's handling has returned
// (safe from inside a browser callback).
void CloseWindowLater(int number);

// ---------------------------------------------------------------- Menus

// Creates an empty menu bar for window `window` and makes it the menu being built.
bool CreateMenuBar(int window);
// Opens a popup menu named `text` inside the menu being built; it becomes the menu being built.
void BeginSubmenu(const std::string& text);
// Closes the menu being built; its parent becomes the menu being built again.
void EndSubmenu();
// Appends item `id` with `text` to the menu being built.
void AppendMenuItem(int id, const std::string& text);
// Greys (false) or enables (true) menu item `id`; nothing when no item has that id.
void SetMenuItemEnabled(int id, bool enabled);
// Sets or clears the check mark of menu item `id`; nothing when no item has that id.
void SetMenuItemCheck(int id, bool checked);
// Replaces the text of menu item `id`; nothing when no item has that id.
void SetMenuItemLabel(int id, const std::string& text);
// Redraws the menu bar of window `window`.
void RedrawMenuBar(int window);

// ---------------------------------------------------------------- Status bar

// Creates the status bar at the bottom of window `window`; false on failure.
bool CreateStatusBar(int window);
// Sets the fields by their right edges in pixels; -1 means the rest of the width.
void SetStatusFields(const std::vector<int>& rightEdges);
// Puts a smooth progress bar with range low..high at `position` into `field`.
void AddStatusProgressBar(int field, int low, int high, int position);
// Shows `text` in status bar field `field`.
void SetStatusField(int field, const std::string& text);

// ---------------------------------------------------------------- Tray

// Adds tray icon `id` for window `window` showing image `image`; its mouse
// presses and double-clicks become kEventTray events. False on failure.
bool AddTrayIcon(int window, int id, int image);
// Sets the tooltip of tray icon `id` (at most 63 characters are kept).
void SetTrayTooltip(int id, const std::string& text);
// Removes tray icon `id`.
void RemoveTrayIcon(int id);

// ---------------------------------------------------------------- Timer

// Starts timer `id` of window `window`, raising kEventTimer every `ms` milliseconds.
bool StartTimer(int window, int id, int ms);

// ---------------------------------------------------------------- Fonts, images and drawing

// Horizontal pixels per logical inch of the screen.
int QueryScreenDpi();
// Creates font `number` for the display: face name, point size, bold, italic, underline.
bool CreateDisplayFont(int number, const std::string& face, int points, bool bold, bool italic,
                       bool underline);
// Creates image `number`: a w x h drawing surface of 24-bit colour.
bool CreateImage(int number, int width, int height);
// Creates image `number` from an icon file held in memory.
bool CreateIconImage(int number, const unsigned char* bytes, size_t size);
// Frees every font and every image.
void FreeFontsAndImages();

struct Color {
  unsigned char red = 0, green = 0, blue = 0;
};

// Opens drawing on image `image`; false when it cannot be drawn on.
bool BeginDrawing(int image);
// Closes the drawing opened by BeginDrawing.
void EndDrawing();
// Fills the rectangle with `color`.
void FillRectangle(int x, int y, int width, int height, Color color);
void SetFrontColor(Color color);
void SetBackColor(Color color);
// Selects font `number` (2 to 6) for text and measurement.
void SelectFont(int number);
// Draws `text` with its cell's top-left at (x, y): the cell filled with the
// back colour, the glyphs in the front colour.
void DrawText(int x, int y, const std::string& text);
// As DrawText, with the glyphs in `color`; the front colour stays.
void DrawTextInColor(int x, int y, const std::string& text, Color color);
// Width and height in pixels of the text cell of `text` in the current font.
void MeasureText(const std::string& text, int* widthOut, int* heightOut);
// Draws a one-pixel line in the front colour, both end points included.
void DrawLine(int x0, int y0, int x1, int y1);
// Fills a circle in the front colour; radius 1 covers the centre and its four neighbours.
void FillCircle(int cx, int cy, int radius);

// ---------------------------------------------------------------- Serial ports

struct SerialHandle;
using SerialPort = SerialHandle*;  // nullptr: none

struct SerialSettings {
  int baud = 0;
  int inputQueue = 0;   // bytes; 0 leaves the driver's default
  int outputQueue = 0;  // bytes; 0 leaves the driver's default
};

// Opens port `name` ("COM1" to "COM256") exclusively for reading and writing
// with 8N1, no flow control, RTS left to the program and the program's
// time-outs; nullptr on failure.
SerialPort SerialOpen(const std::string& name, const SerialSettings& settings);
// Whether `port` is a port this program opened and has not closed.
bool SerialIsOpen(SerialPort port);
// Bytes waiting in the input queue (also clears a pending line error); 0 on failure.
int SerialBytesWaiting(SerialPort port);
// Reads up to `size` bytes; returns the number read (0 on failure or time-out).
int SerialRead(SerialPort port, unsigned char* buffer, int size);
// Writes `size` bytes; returns the number written.
int SerialWrite(SerialPort port, const unsigned char* bytes, int size);
// Raises DTR; raises RTS. Failures are ignored.
void SerialRaiseDtr(SerialPort port);
void SerialRaiseRts(SerialPort port);
// Closes the port.
void SerialClose(SerialPort port);

// ---------------------------------------------------------------- Clock

// The current date value: the local calendar date and time counted as
// seconds since 1970-01-01 00:00:00 as if they were UTC.
int64_t LocalNow();

// ---------------------------------------------------------------- Files

struct FileHandle;
using File = FileHandle*;  // nullptr: none

// The platform's path separator between folder and file name.
char PathSeparator();
// Opens an existing file for reading only, letting others read and write meanwhile.
File FileOpenRead(const std::string& path);
// Opens a file for reading and writing, creating it when missing, letting
// others only read meanwhile; nullptr when it cannot be opened.
File FileOpenReadWrite(const std::string& path);
int64_t FileLength(File file);
void FileSeek(File file, int64_t position);
// Reads up to `size` bytes; returns the number read, 0 at the end or on failure.
int FileRead(File file, void* buffer, int size);
// Writes `size` bytes; returns the number written.
int FileWrite(File file, const void* bytes, int size);
void FileClose(File file);

// ---------------------------------------------------------------- HTTP

struct HttpHandle;
using Http = HttpHandle*;  // nullptr: none

// Opens an internet session with `agent` as user agent, direct (no proxy), synchronous.
Http HttpOpenSession(const std::string& agent);
// Sets the connect, send and receive time-outs of a session in milliseconds.
void HttpSetTimeouts(Http session, int ms);
// Connects the session to `host`:`port` for HTTP.
Http HttpConnect(Http session, const std::string& host, int port);
// Opens a request with the default HTTP version, no referrer, no accept
// types, no cookies and a request not to be answered from a cache.
Http HttpOpenRequest(Http connection, const std::string& verb, const std::string& path);
// Sends the request with no headers of the program's own and no body.
bool HttpSendRequest(Http request);
// Reads up to `size` bytes of the answer; returns 0 at its end or on failure.
int HttpReadAnswer(Http request, void* buffer, int size);
// Closes a session, connection or request handle.
void HttpClose(Http handle);

// ---------------------------------------------------------------- Shell

// Asks the shell to open `file` with its default action ("open" of a URL in
// the browser), with the given parameters and working directory, shown normally.
bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& directory);
// Starts `commandLine` in `directory`, shown normally, without waiting; false
// when the process cannot be created.
bool StartProcess(const std::string& commandLine, const std::string& directory);

// ---------------------------------------------------------------- Sound

// Plays `name` asynchronously: a system sound name, else a file, else the
// system's default sound; a sound still playing is cut off.
void PlaySoundAsync(const std::string& name);

// ---------------------------------------------------------------- File dialog

// Shows the modal open-file dialog (may be called from a worker thread):
// `title`, one filter `filterName` with `pattern` selected, the folder must
// exist, no read-only box, the working directory left unchanged, owned by
// window `owner` (-1: none). Returns the full path, or empty when cancelled.
std::string ChooseFileToOpen(const std::string& title, const std::string& filterName,
                             const std::string& pattern, int owner);

// ---------------------------------------------------------------- Threads

// Starts `procedure(argument)` on a new thread that nobody waits for; false
// when no thread could be started.
bool StartThread(void (*procedure)(void* argument), void* argument);

// ---------------------------------------------------------------- System identity

// The operating system's version numbers: platform id, major, minor.
void OsVersion(int* platformIdOut, int* majorOut, int* minorOut);
// The product token naming the toolkit this build uses, one word ("Win32").
std::string ToolkitToken();
// Hardware addresses of the network adapter configurations, in the system's
// order, as text ("00:1A:2B:3C:4D:5E"), empty text for one without address.
// Empty list when the query fails. At most `limit` entries.
std::vector<std::string> AdapterAddresses(int limit);
// A 16-byte time-based UUID as laid out in memory; false when the system
// cannot provide one.
bool SequentialUuid(unsigned char uuidOut[16]);

// ---------------------------------------------------------------- Digest

// SHA-1 of `size` bytes; false when no digest can be computed.
bool Sha1(const void* bytes, size_t size, unsigned char digestOut[20]);

// ---------------------------------------------------------------- Program file

// Full path of the running program file, as the system reports it.
std::string ProgramFilePath();

}  // namespace platform
