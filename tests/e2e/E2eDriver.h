// Drives the real qelvo.exe as a user does: the program runs in a scratch
// folder of its own, input goes through the window system (SendInput, so
// focus, activation, capture and the program's own message loops all take
// part), and checks read what a user or the next start sees: files,
// captions, the focused window, pixels on the screen.
//
// Every wait has a bound. A program that stops answering fails the step
// that waited, and the program is killed when its TProgram goes, so no
// process outlives its scenario.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qelvo::e2e {

// The end of each field of a task line in the database file.
inline const std::string FieldEnd = "\xF7";

// The default bound of one wait, in milliseconds.
inline constexpr unsigned WaitBound = 10000;

// Waits until done() holds or the bound ran out; returns done()'s last answer.
bool WaitUntil(const std::function<bool()>& done, unsigned boundMs = WaitBound);

// ---- Files (Windows paths)
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);    // "" when missing
// A file the program writes after a step (an export once its save dialog
// has closed): waits until it is there, as the program's files come whole
// at once; "" when it did not come within the bound.
std::string WrittenFile(const std::string& path, unsigned boundMs = WaitBound);
void WriteFile(const std::string& path, const std::string& bytes);
// Makes the folder a file of Path goes in (its parent must exist).
void MakeFolderOf(const std::string& path);
// The value of Key in [Section] of an ini file ("" when absent).
std::string IniValue(const std::string& path, const std::string& section, const std::string& key);

// ---- Windows
// Whether W is (or becomes, within the bound) the foreground window.
inline bool BecomesForeground(HWND w, unsigned boundMs = WaitBound) {
    return WaitUntil([w] { return GetForegroundWindow() == w; }, boundMs);
}
std::string ClassOf(HWND w);
std::string TextOf(HWND w);    // caption or edit text, asked across processes
RECT RectOf(HWND w);           // screen coordinates
POINT CenterOf(HWND w);
POINT ClientOrigin(HWND w);    // the client area's top left on the screen
// The visible, enabled-or-not child windows of parent of a window class, in
// z-order, depth first.
std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className);
// One line per visible child window (handle, parent, class, screen
// rectangle, text), for finding one's way about a window while writing a
// scenario.
std::string DescribeChildren(HWND parent);
// The texts of every visible child of a window (labels of a message box).
std::string ChildTexts(HWND parent);

// ---- The program
class TProgram {
public:
    // A scratch folder named after the scenario, emptied, with a copy of the
    // program (and the recording sticky-note library and print template).
    explicit TProgram(const std::string& scenario);
    // With KeepFolder, a folder made before (by another TProgram of the
    // same scenario) is used as it is: a second copy of the program there.
    TProgram(const std::string& scenario, bool keepFolder);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    const std::string& Folder() const { return FFolder; }
    std::string PathOf(const std::string& relative) const { return FFolder + "\\" + relative; }
    std::string DatabasePath() const { return PathOf("Data\\ActualData.kpx"); }
    std::string SettingsPath() const { return PathOf("settings.ini"); }

    // Starts qelvo.exe (its working folder is the scratch folder).
    void Start(const std::string& arguments = "");
    // Starts the copy of the program at Program, a path in wide form (a
    // folder the 8-bit character set cannot hold), with CurrentFolder as
    // its working folder (a shortcut's "Start in").
    void StartAt(const std::wstring& program, const std::wstring& currentFolder);
    // Starts it as a shortcut does: shown as Show (SW_SHOWMINNOACTIVE,
    // SW_SHOWMAXIMIZED ...) and in the working folder Folder ("" is the
    // scratch folder).
    void StartAs(WORD show, const std::string& arguments = "", const std::string& folder = "");
    bool Running() const;
    DWORD ProcessId() const { return FProcessId; }
    // Waits for the process to end; its exit code, or -1 when it did not end.
    int WaitExit(unsigned boundMs = WaitBound);
    void Kill();

    // The visible top-level windows of the program, top of the z-order first.
    std::vector<HWND> TopWindows() const;
    // The first visible top-level window of a class ("#32770" for message
    // boxes and dialogs), waiting for it; nullptr when none came.
    HWND WaitTopWindow(const std::string& className, unsigned boundMs = WaitBound) const;
    // The same, once it is also the foreground window and the program has
    // answered: a user clicks a window that has come up. A loaded machine
    // shows a window well before it is activated, and a click then may
    // only activate it. nullptr when it did not come or was not activated.
    HWND WaitActiveWindow(const std::string& className, unsigned boundMs = WaitBound) const;
    // The main window (class TMainForm), waiting for it to be shown.
    HWND Main(unsigned boundMs = WaitBound);
    // The message box or dialog shown now, waiting for one; nullptr when none.
    HWND WaitDialog(unsigned boundMs = WaitBound) const { return WaitTopWindow("#32770", boundMs); }
    // Waits for a window of the program other than Main to show, enabled
    // and with a caption (the form a command opened); null if none did.
    HWND WaitOpenedWindow(HWND main, unsigned boundMs = WaitBound) const;
    // Nothing of the program answers a dialog within ms.
    bool NoDialogFor(unsigned ms) const;

    // Returns once the program's thread has handled what was sent to it
    // (input included); false when it stopped answering.
    bool Settle(unsigned rounds = 4) const;
    // How long the program may take to answer after a step before the
    // scenario fails (WaitBound unless set): a step over a very large
    // database may take a loaded machine tens of seconds.
    void SetAnswerBound(unsigned ms) { FAnswerBound = ms; }
    // Returns once the program has painted what came before: it answered
    // a message, no shown window of it is left with a part to paint, and
    // the painting under way ended. What it drew reaches the screen a moment
    // later still (PixelsOf waits for that); false when a bound ran out.
    bool Painted() const;
    // Returns once the program's thread has taken the input sent so far:
    // a pixel of its window under At is marked for painting, which the
    // thread does only when no input waits for it (Settle's sent messages
    // come before input). For the steps of a drag, whose moves a busy
    // program would otherwise see merged into one. False when the bound ran out.
    bool InputTaken(POINT at) const;

    // The GUI state of the program's thread: focused and active windows and
    // whether it is in a menu loop.
    GUITHREADINFO ThreadInfo() const;
    HWND Focus() const { return ThreadInfo().hwndFocus; }
    HWND Active() const { return ThreadInfo().hwndActive; }
    // Whether W is (or becomes, within the bound) the program's active
    // window: the display and the window system follow the program's own
    // answer a little later on a loaded machine.
    bool BecomesActive(HWND w, unsigned boundMs = WaitBound) const {
        return WaitUntil([&] { return Active() == w; }, boundMs);
    }

private:
    // Takes the process just started as this program's, under a new
    // watchdog, once it waits for input.
    void Began(const PROCESS_INFORMATION& pi);
    // The window input rounds are sent to: the main window, else the
    // first shown top-level window; nullptr when none.
    HWND Target() const;
    // One message sent to Target and answered; a failure of the scenario
    // when it stays unanswered while the window lives.
    bool Answered(HWND target) const;

    std::string FFolder;
    HANDLE FProcess = nullptr;
    DWORD FProcessId = 0;
    DWORD FThreadId = 0;
    HWND FMain = nullptr;
    unsigned FAnswerBound = WaitBound;
};

// ---- Input: each call passes through the window system and returns after
// the program has handled it (program.Settle()).
enum Mods : unsigned { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };
void Key(const TProgram& p, WORD vk, unsigned mods = None);
// Types text a key at a time: characters of the keyboard layout as their
// keys (with Shift where needed), the rest as Unicode key events.
void Type(const TProgram& p, const std::wstring& text);
void Type(const TProgram& p, const std::string& ascii);
void MoveTo(const TProgram& p, POINT at);
void Click(const TProgram& p, POINT at, bool right = false);
void DoubleClick(const TProgram& p, POINT at);
// Moves the pointer from from to to in steps (the way a hand does, so a
// drag sees it leave its start), with whatever buttons are held.
void Glide(const TProgram& p, POINT from, POINT to, int steps = 12);
// Presses the left button at from, moves in steps to to, releases.
void Drag(const TProgram& p, POINT from, POINT to, int steps = 12);

// ---- Screen
COLORREF PixelAt(POINT at);
// Lets the program paint, then saves a window's picture beside the test
// program (the folder QELVO_SCREENSHOT_DIR names, when set) as name.bmp.
void Shot(const TProgram& p, HWND w, const std::string& name);
// The share of pixels of a screen rectangle equal to colour (0..1).
double ShareOf(RECT r, COLORREF colour);

// ---- Clicks with modifier keys
// A left click with modifier keys (Ctrl, Shift, Alt) held around it.
void Click(const TProgram& p, POINT at, unsigned mods);

// ---- Clicks a double click apart
// A left click whose press and release carry the time stamp Time (on
// GetTickCount's clock): two of them at one point, stamped less than the
// double-click time apart, come as a double click however long the
// program took between them, as a user's quick second click does.
void StampedClick(const TProgram& p, POINT at, DWORD time);

// ---- Pixels
// The pixels of a screen rectangle, row by row (none for an empty one),
// once every program of the scenario has painted (TProgram::Painted) and
// the screen shows it: two reads a moment apart agree. ShareOf and the
// repaint helpers read through it, and PixelAt reads one pixel so.
std::vector<COLORREF> PixelsOf(RECT r);

// ---- Dates
// Today plus days, at noon.
SYSTEMTIME DayFromToday(int days);
// That day as the database file writes it (month/day/year, no leading
// zeros) and as the program shows it (dd/MM/yyyy).
std::string FileDate(int days);
std::string ShownDate(int days);

// ---- Menus
// The File menu's item Index (2 Open..., 4 Save as...) from the keyboard:
// New task (Ctrl+N) first puts the focus in the quick-entry box, then Alt,
// F, Down to the item, Enter.
void FileMenuItem(TProgram& p, int index);

// ---- The end of the Windows session
// Ends the session as the system does: WM_QUERYENDSESSION goes to every
// top-level window of the program (hidden ones too), then WM_ENDSESSION
// with the outcome; when every window agreed, the system ends the process
// once WM_ENDSESSION has returned (exit code 9). Returns whether the
// program let the session end.
bool EndSession(TProgram& p);

// ---- The wheel
// Turns the wheel by Delta (a notch is WHEEL_DELTA, downwards negative)
// with the pointer at At, in one message.
void Wheel(const TProgram& p, POINT at, int delta);
// Tilts the wheel sideways by Delta (WM_MOUSEHWHEEL; rightwards positive)
// with the pointer at At, in one message.
void HorizontalWheel(const TProgram& p, POINT at, int delta);

// ---- The other buttons
// Moves to At and sends one mouse event there: Flags are the button's
// MOUSEEVENTF_ flags (MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_XUP, ...), Data
// the side button's XBUTTON1 or XBUTTON2 for MOUSEEVENTF_X flags. A press
// alone holds the button down until its release is sent.
void MouseEvent(const TProgram& p, POINT at, DWORD flags, DWORD data = 0);
// A middle-button click; two of them make a double click.
void MiddleClick(const TProgram& p, POINT at, int clicks = 1);
// A side-button click: Button is XBUTTON1 (back) or XBUTTON2 (forward).
void SideClick(const TProgram& p, POINT at, DWORD button, int clicks = 1);

// ---- A key held down
// Presses (Down) or releases one key alone. A key pressed again while it
// is down arrives as the system's auto-repeat of a held key.
void KeyDown(const TProgram& p, WORD vk);
void KeyUp(const TProgram& p, WORD vk);

// ---- Keys and clicks sent ahead
// One stroke of a burst: a key with modifier keys held around it (Alt
// alone, VK_MENU with no modifier, enters a window's menu bar), text
// typed as Type types it, or a left click at a screen point (ClickAt; the
// pointer moves there first, as the hand does).
struct TStroke {
    TStroke(WORD vk, unsigned mods = None) : Vk(vk), Mods(mods) {}
    TStroke(const char* ascii) : Text(ascii, ascii + std::char_traits<char>::length(ascii)) {}
    TStroke(std::wstring text) : Text(std::move(text)) {}
    static TStroke ClickAt(POINT at) {
        TStroke click(WORD(0));
        click.Clicked = true;
        click.At = at;
        return click;
    }
    WORD Vk = 0;
    unsigned Mods = None;
    std::wstring Text;
    bool Clicked = false;
    POINT At{};
};
// Sends every stroke in one SendInput call, as a fast typist, a keyboard
// macro, a scanner or a hand quicker than the program does: the input
// queues up while the program is still busy with the first of it
// (refilling its list, saving, opening a window); each key is taken by
// whatever window has the keyboard by then, each click by whatever the
// screen shows at its point by then. Returns once the program's thread has
// taken all of it (InputDrained).
void TypeAhead(const TProgram& p, const std::vector<TStroke>& strokes);
// Returns once the program's thread has taken every input queued for it:
// a pixel of its window marked for painting is painted, which the thread
// does only when no input or posted message waits for it, a few times in
// a row. True once the program has ended (input that ends it, a close
// box clicked ahead, leaves nothing to take). False when the bound ran out
// (the program was still busy).
bool InputDrained(const TProgram& p, unsigned boundMs = 3 * WaitBound);
// Ctrl+S, returning once the program has written a database file in the
// scenario's folder (a failure when none was written within the bound):
// the file holds the save then, and every key sent before it was taken.
// (Key alone returns when the program answers, which a busy program may
// do before it takes the keys; InputDrained alone can be fooled by a
// program that paints at once while keys still wait, as a list refilled
// over a hundred thousand tasks does.)
void SaveByKeys(const TProgram& p);

// ---- The left button held down
// Moves to At and presses (ButtonDown) or releases (ButtonUp) the left
// button there: the steps of a drag a scenario looks at half way.
void ButtonDown(const TProgram& p, POINT at);
void ButtonUp(const TProgram& p, POINT at);

// ---- What the program holds, read from outside
// Its GDI objects from the handle table its PEB points at (by the table's
// type: 1 DC, 4 region, 6 metafile, 8 palette, 9 bitmap, 10 font, 16 brush
// or pen), its kernel handles from the system's list of every handle (the
// process's own count moves in steps of 64 under Wine, and
// GetGuiResources answers 0), its windows (top-level, message-only and
// child, hidden ones too), threads and private bytes, and the files in the
// database's folder.
struct TUsage {
    std::map<int, int> Gdi;    // by type
    size_t Windows = 0;
    unsigned long Handles = 0, Threads = 0;
    size_t Memory = 0;    // private bytes
    size_t Files = 0;
    int GdiObjects() const;
    int GdiObjectsOfType(int type) const;
};
TUsage UsageOf(const TProgram& p);
std::string DescribeUsage(const TUsage& u);
// Nothing grew from Before to After beyond what a run may keep: two GDI
// objects, no window, the handles and one thread of a save's thread the
// process keeps, 2 MB of private memory, and the same files.
void ExpectNoGrowth(const TUsage& before, const TUsage& after, const std::string& what);
// The usage at the end, read again for a while when it is past those
// limits (work the last input started may still hold what it gives back).
TUsage UsageAtTheEnd(const TProgram& p, const TUsage& before);
// Nothing leaks from Before on: what the rounds run since then grew is
// within the limits, or, past them, More runs the same rounds again and
// from then on nothing grows.
void ExpectNoLeak(const TProgram& p, const TUsage& before, const std::string& what,
                  const std::function<bool()>& more);

// ---- The X display beside Wine
// Runs Command with the Unix shell as a Unix process (Wine starts a file
// that is no Windows program so), on the display Wine draws on, and
// returns what it wrote to its standard output; "" when it wrote nothing
// within the bound.
std::string UnixCommandOutput(const std::string& command, unsigned boundMs = WaitBound);
// The X window that has the display's keyboard focus, 0 when unknown.
unsigned long XFocusWindow();
// The X window Wine shows top-level window W in, 0 when none.
unsigned long XWindowOf(HWND w);
// A left click through the X server, as a user's hand makes it: a window
// manager sees it and hands the keyboard on (SendInput's clicks reach
// Wine's windows without passing the window manager).
void XClick(const TProgram& p, POINT at);

// ---- Wine's notification area
// Where no desktop offers a notification area, Wine shows the icons in a
// window of its own ("Wine System Tray"), made when the first icon goes up
// and put at the screen's top left, over whatever is there, each time an
// icon goes up: it took clicks meant for the program's menu bar. Scenarios
// keep it off the screen (every program start puts it back there) and
// bring it into view where they use an icon.
HWND WineSystemTray();
// Whether Wine's notification area shows (or comes to show) an icon.
bool TrayShown();
// Wine's notification area moved into the screen's bottom right corner;
// null when there is none.
HWND WineSystemTrayInView();
// The middle of the program's icon in Wine's notification area (brought
// into view): the last icon that went up, as icons a killed program left
// stay before it.
POINT TrayIconPoint();
// Wine's notification area and its icons, with their places, and the
// window under the pointer: for the message of a check that failed there.
std::string DescribeTray();

// ---- The display's and the user's settings
// Registry values of the Wine prefix the program shares with the suite,
// set for as long as the guard lives and put back (or removed, when they
// were not there) when it goes, however the scenario ends. A program reads
// them when it starts: the screen's dots per inch, the system's fonts,
// the regional settings.
class TRegistryValues {
public:
    TRegistryValues() = default;
    ~TRegistryValues();
    TRegistryValues(const TRegistryValues&) = delete;
    TRegistryValues& operator=(const TRegistryValues&) = delete;

    // Sets Name under Key of Root to Bytes of type Type (REG_DWORD ...).
    void Set(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& bytes);
    void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
    void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value);

private:
    struct TSaved {
        HKEY Root;
        std::string Key, Name;
        bool Existed;
        DWORD Type;
        std::vector<BYTE> Bytes;
    };
    std::vector<TSaved> FSaved;
};

// The screen at Dpi dots per inch, as Windows' "Larger" text settings
// give it (120, 144), for programs started while Values lives.
void SetScreenDpi(TRegistryValues& values, int dpi);
// The system's fonts (captions, small captions, menus, the status line,
// messages and icons) as Face at Height pixels (a LOGFONT height).
void SetSystemFonts(TRegistryValues& values, const std::wstring& face, int height);
// The size of a line of text in a face Pixels high (a LOGFONT height of
// -Pixels), bold or not, as this process's screen measures it.
SIZE TextExtent(const std::wstring& face, int pixels, bool bold, const std::wstring& text);
// The user's regional settings (Control Panel\International: sShortDate,
// sDate, sTimeFormat, iFirstDayOfWeek ...). Wine takes the date separator
// from sShortDate: a new separator needs both.
void SetRegional(TRegistryValues& values, const std::map<std::string, std::string>& settings);

} // namespace qelvo::e2e
