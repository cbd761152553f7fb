// Where the program keeps its files (the folder of the executable, the
// settings file, the default database) and the main window's layout as
// stored in settings.ini and in the column file settings.inicol.
//
// The layout is read into and written from a plain structure; the main
// window applies it. Every path goes through the AppLocation service, so
// tests put the "executable" in a folder of their own.
#pragma once

#include <string>
#include <vector>

#include "gcl/rtl/Services.h"

namespace qelvo {

// ---- File locations ---------------------------------------------------------

struct IAppLocation {
    virtual ~IAppLocation() = default;
    // Full path of the program file.
    virtual std::string ExePath() = 0;
};
// The production location is the running executable.
extern gcl::ServiceSlot<IAppLocation> AppLocation;

// A program path given by a test.
class TFixedAppLocation : public IAppLocation {
public:
    explicit TFixedAppLocation(std::string exePath) : FExePath(std::move(exePath)) {}
    std::string ExePath() override { return FExePath; }

private:
    std::string FExePath;
};

// Folder of the executable, with a trailing separator.
std::string AppDir();
// AppDir + "settings.ini".
std::string SettingsFileName();
// The column layout file: SettingsFileName + "col".
std::string ColumnsFileName();
// AppDir + "Data" + separator + "ActualData.kpx"; creates the "Data"
// folder first when it is missing.
std::string DefaultDatabaseFileName();
// DefaultDatabase (an option) when that file exists, else
// DefaultDatabaseFileName.
std::string StartupDatabaseFileName(const std::string& defaultDatabase);
// The same for the program's options (Options.DefaultDatabase).
std::string StartupDatabaseFileName();
// AppDir + "Print Templates" + separator + "Default.rkm".
std::string PrintTemplateFileName();

// ---- Layout ------------------------------------------------------------------

// The theme menu item clicked before the saved one is applied, and the
// saved one's default.
inline constexpr int StartupThemeIndex = 8;
inline constexpr int DefaultThemeIndex = 17;
// Grouping modes (the absolute value of GroupMode).
inline constexpr int MaxGroupMode = 4;
inline constexpr int DefaultGroupMode = 1;

// What the settings files may hold: a number outside these limits is
// taken for garbage and the default stands instead (window sizes are
// fitted to the screen by NormalWindowBounds).
inline constexpr int MinWindowWidth = 200, MinWindowHeight = 150;
inline constexpr int MinPanelSize = 20, MaxPanelSize = 4000;
inline constexpr int MinColumnWidth = 8, MaxColumnWidth = 4000;

struct TColumnLayout {
    int Position = 0;
    int Width = 100;
    bool Visible = true;
    bool operator==(const TColumnLayout&) const = default;
};

// The three columns of the task list as designed: title 320, tags 150,
// due date 100 pixels.
std::vector<TColumnLayout> DesignedColumns();

struct TLayoutSettings {
    // The window's normal place, which a maximised window is restored to.
    int Width = 804;
    int Height = 500;
    int Left = 0;
    int Top = 0;
    bool Maximized = false;
    int Theme = DefaultThemeIndex;
    int OrgPanelWidth = 200;       // [Org Panel] DockedWidth
    int NotePanelHeight = 80;      // [Note Panel] DockedHeight
    bool NotePanelMin = false;     // [Note Panel] Min
    bool GroupByPanelVisible = true;
    bool FiltersPanelVisible = true;
    bool CountItems = true;
    int GroupMode = DefaultGroupMode;  // [Others] Group M
    // True when the column file was read (its values are in Columns).
    bool ColumnsRead = false;
    std::vector<TColumnLayout> Columns = DesignedColumns();
    bool operator==(const TLayoutSettings&) const = default;
};

// Reads settings.ini (IniPath) and, unless the window starts maximised,
// the column file beside it. Missing keys keep the defaults above; a
// value out of range (Theme outside 0..ThemeCount-1, Group M outside
// -4..4, a panel size outside MinPanelSize..MaxPanelSize) is ignored and
// keeps its default, without touching the other settings. False when
// reading failed somewhere; what was read stays.
bool LoadLayoutSettings(const std::string& iniPath, TLayoutSettings& layout, int themeCount);
// The columns of the column file (ColumnsFileName beside IniPath) for
// ColumnCount columns, with the reading defaults: position n, width 100
// (250 for column 0 when ForMaximized), shown. A width outside
// MinColumnWidth..MaxColumnWidth gets the default; positions that are not
// each of 0..ColumnCount-1 once give every column its own number again.
// False (and Columns untouched) when the file does not exist or cannot be
// read.
bool LoadColumnLayout(const std::string& iniPath, int columnCount, bool forMaximized,
                      std::vector<TColumnLayout>& columns);
// Writes the layout: the window's normal size and place (Width ... Top:
// for a maximised or minimised window the ones it is restored to), then
// the panels, grouping and theme, then the column file. False when a
// write failed (the rest is still attempted).
bool SaveLayoutSettings(const std::string& iniPath, const TLayoutSettings& layout);

struct TRect32 {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect32&) const = default;
};

// The normal window rectangle on a work area (the one of the monitor
// nearest to the stored place): a stored size that is not positive keeps
// the designed 804 x 500, and no size is smaller than MinWindowWidth x
// MinWindowHeight or larger than the work area; when either the stored
// Left or Top is 0 or less, the window is centred on both axes, else it
// is moved as little as needed to lie wholly inside the work area.
TRect32 NormalWindowBounds(const TLayoutSettings& layout, const TRect32& desktop);

// The item of the group-by toolbar to click for a stored grouping mode:
// the "Nothing" button (index 1) for 0 or less, else Group M + 2.
int GroupByToolbarIndex(int groupMode);

} // namespace qelvo
