// File locations and the main window's stored layout.
#include "app/logic/LayoutSettings.h"

#include <algorithm>

#include "app/logic/Options.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

class TExeLocation : public IAppLocation {
public:
    std::string ExePath() override { return gcl::ExeFileName(); }
};
TExeLocation ExeLocation;

// Section and key names of settings.ini.
constexpr const char* SForm = "Form";
constexpr const char* SOrgPanel = "Org Panel";
constexpr const char* SNotePanel = "Note Panel";
constexpr const char* SGroupByPanel = "Group By Panel";
constexpr const char* SFiltersPanel = "Filters Panel";
constexpr const char* SOthers = "Others";
constexpr const char* SColumns = "columns";

std::string ColumnKey(int n, char what) {
    return "C" + gcl::IntToStr(n) + what;
}

// Value when it lies in Min..Max, else Default.
int InRange(int value, int min, int max, int fallback) {
    return value >= min && value <= max ? value : fallback;
}

} // namespace

gcl::ServiceSlot<IAppLocation> AppLocation(&ExeLocation);

std::string AppDir() {
    return gcl::ExtractFilePath(AppLocation->ExePath());
}

std::string SettingsFileName() {
    return AppDir() + "settings.ini";
}

std::string ColumnsFileName() {
    return SettingsFileName() + "col";
}

std::string DefaultDatabaseFileName() {
    const std::string dir = AppDir() + "Data";
    if (!gcl::DirectoryExists(dir)) gcl::ForceDirectories(dir);
    return dir + gcl::PathDelim + "ActualData" + ".kpx";
}

std::string StartupDatabaseFileName(const std::string& defaultDatabase) {
    if (!defaultDatabase.empty() && gcl::FileExists(defaultDatabase)) return defaultDatabase;
    return DefaultDatabaseFileName();
}

std::string StartupDatabaseFileName() {
    return StartupDatabaseFileName(Options.DefaultDatabase);
}

std::string PrintTemplateFileName() {
    return AppDir() + "Print Templates" + gcl::PathDelim + "Default.rkm";
}

std::vector<TColumnLayout> DesignedColumns() {
    return {{0, 320, true}, {1, 150, true}, {2, 100, true}};
}

bool LoadColumnLayout(const std::string& iniPath, int columnCount, bool forMaximized,
                      std::vector<TColumnLayout>& columns) {
    const std::string path = iniPath + "col";
    if (!gcl::FileExists(path)) return false;
    try {
        gcl::TMemIniFile ini(path);
        std::vector<TColumnLayout> read;
        for (int n = 0; n < columnCount; ++n) {
            TColumnLayout c;
            c.Position = ini.ReadInteger(SColumns, ColumnKey(n, 'p'), n);
            const int width = (n == 0 && forMaximized) ? 250 : 100;
            c.Width = InRange(ini.ReadInteger(SColumns, ColumnKey(n, 'w'), width), MinColumnWidth, MaxColumnWidth, width);
            // No command hides or shows the title column, and a list
            // without it shows no task: it stays whatever the file says.
            c.Visible = n == 0 || ini.ReadBool(SColumns, ColumnKey(n, 'v'), true);
            read.push_back(c);
        }
        std::vector<bool> taken(read.size(), false);
        bool permutation = true;
        for (const TColumnLayout& c : read) {
            if (c.Position < 0 || c.Position >= columnCount || taken[static_cast<size_t>(c.Position)]) {
                permutation = false;
                break;
            }
            taken[static_cast<size_t>(c.Position)] = true;
        }
        if (!permutation)
            for (int n = 0; n < columnCount; ++n) read[static_cast<size_t>(n)].Position = n;
        columns = std::move(read);
        return true;
    } catch (const gcl::Exception&) {
        return false;
    }
}

bool LoadLayoutSettings(const std::string& iniPath, TLayoutSettings& layout, int themeCount) {
    bool ok = true;
    try {
        gcl::TMemIniFile ini(iniPath);
        layout.Width = ini.ReadInteger(SForm, "Width", 804);
        layout.Height = ini.ReadInteger(SForm, "Height", 500);
        layout.Left = ini.ReadInteger(SForm, "Left", 0);
        layout.Top = ini.ReadInteger(SForm, "Top", 0);
        layout.Maximized = ini.ReadBool(SForm, "Maximized", false);
        // An index the menus do not have is ignored.
        const int theme = ini.ReadInteger(SForm, "Theme", DefaultThemeIndex);
        layout.Theme = (theme >= 0 && theme < themeCount) ? theme
                       : (DefaultThemeIndex < themeCount ? DefaultThemeIndex : StartupThemeIndex);
        layout.GroupByPanelVisible = ini.ReadBool(SGroupByPanel, "visible", true);
        layout.FiltersPanelVisible = ini.ReadBool(SFiltersPanel, "visible", true);
        layout.CountItems = ini.ReadBool(SOthers, "Count items", true);
        const int mode = ini.ReadInteger(SOthers, "Group M", DefaultGroupMode);
        layout.GroupMode = (mode >= -MaxGroupMode && mode <= MaxGroupMode) ? mode : DefaultGroupMode;
        layout.OrgPanelWidth = InRange(ini.ReadInteger(SOrgPanel, "DockedWidth", 200), MinPanelSize, MaxPanelSize, 200);
        layout.NotePanelHeight = InRange(ini.ReadInteger(SNotePanel, "DockedHeight", 80), MinPanelSize, MaxPanelSize, 80);
        layout.NotePanelMin = ini.ReadBool(SNotePanel, "Min", false);
    } catch (const gcl::Exception&) {
        ok = false;
    }
    layout.ColumnsRead = false;
    if (!layout.Maximized) {
        // The column file only counts when it exists; a missing one keeps
        // the designed columns.
        layout.ColumnsRead = LoadColumnLayout(iniPath, static_cast<int>(layout.Columns.size()), false,
                                              layout.Columns);
        if (!layout.ColumnsRead && gcl::FileExists(iniPath + "col")) ok = false;
    }
    return ok;
}

bool SaveLayoutSettings(const std::string& iniPath, const TLayoutSettings& layout) {
    bool ok = true;
    try {
        gcl::TMemIniFile ini(iniPath);
        // The place a maximised window is restored to, as Windows keeps it
        // with the maximised state: the user may have given it since the
        // last start.
        ini.WriteInteger(SForm, "Width", layout.Width);
        ini.WriteInteger(SForm, "Height", layout.Height);
        ini.WriteInteger(SForm, "Left", layout.Left);
        ini.WriteInteger(SForm, "Top", layout.Top);
        ini.WriteBool(SForm, "Maximized", layout.Maximized);
        ini.WriteInteger(SOrgPanel, "DockedWidth", layout.OrgPanelWidth);
        ini.WriteInteger(SNotePanel, "DockedHeight", layout.NotePanelHeight);
        ini.WriteBool(SNotePanel, "Min", layout.NotePanelMin);
        ini.WriteBool(SGroupByPanel, "visible", layout.GroupByPanelVisible);
        ini.WriteBool(SFiltersPanel, "visible", layout.FiltersPanelVisible);
        ini.WriteBool(SOthers, "Count items", layout.CountItems);
        ini.WriteInteger(SOthers, "Group M", layout.GroupMode);
        ini.WriteInteger(SForm, "Theme", layout.Theme);
        ini.UpdateFile();
    } catch (const gcl::Exception&) {
        ok = false;
    }
    try {
        gcl::TMemIniFile ini(iniPath + "col");
        for (int n = 0; n < static_cast<int>(layout.Columns.size()); ++n) {
            const TColumnLayout& c = layout.Columns[static_cast<size_t>(n)];
            ini.WriteInteger(SColumns, ColumnKey(n, 'p'), c.Position);
            ini.WriteInteger(SColumns, ColumnKey(n, 'w'), c.Width);
            ini.WriteBool(SColumns, ColumnKey(n, 'v'), c.Visible);
        }
        ini.UpdateFile();
    } catch (const gcl::Exception&) {
        ok = false;
    }
    return ok;
}

TRect32 NormalWindowBounds(const TLayoutSettings& layout, const TRect32& desktop) {
    auto fit = [](int stored, int designed, int min, int room) {
        const int size = stored > 0 ? std::max(stored, min) : designed;
        return std::min(size, std::max(room, 1));
    };
    const int w = fit(layout.Width, 804, MinWindowWidth, desktop.Width());
    const int h = fit(layout.Height, 500, MinWindowHeight, desktop.Height());
    TRect32 r;
    if (layout.Left <= 0 || layout.Top <= 0) {
        r.Left = desktop.Left + (desktop.Width() - w) / 2;
        r.Top = desktop.Top + (desktop.Height() - h) / 2;
    } else {
        r.Left = std::clamp(layout.Left, desktop.Left, desktop.Right - w);
        r.Top = std::clamp(layout.Top, desktop.Top, desktop.Bottom - h);
    }
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    return r;
}

int GroupByToolbarIndex(int groupMode) {
    return groupMode > 0 ? groupMode + 2 : 1;
}

} // namespace qelvo
