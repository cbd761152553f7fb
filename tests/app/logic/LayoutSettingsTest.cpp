// File locations and the stored window layout.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/Options.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"

namespace qelvo {
namespace {

using test::ReadFile;
using test::TProgramFolder;

constexpr int ThemeCount = 21;
const TRect32 Desktop{0, 0, 1024, 768};

TEST(LayoutSettings, FileLocations) {
    TProgramFolder app;
    EXPECT_EQ(app.Dir(), AppDir());
    EXPECT_EQ(app.Dir() + "settings.ini", SettingsFileName());
    EXPECT_EQ(app.Dir() + "settings.inicol", ColumnsFileName());
    EXPECT_EQ(app.Dir() + "Print Templates" + gcl::PathDelim + "Default.rkm", PrintTemplateFileName());

    // The "Data" folder is made whenever the default path is asked for.
    EXPECT_FALSE(gcl::DirectoryExists(app.Dir() + "Data"));
    const std::string def = DefaultDatabaseFileName();
    EXPECT_EQ(app.Dir() + "Data" + gcl::PathDelim + "ActualData.kpx", def);
    EXPECT_TRUE(gcl::DirectoryExists(app.Dir() + "Data"));

    // The option's database only when that file exists.
    const std::string mine = app.File("mine.kpx");
    EXPECT_EQ(def, StartupDatabaseFileName(mine));
    EXPECT_EQ(def, StartupDatabaseFileName(""));
    ASSERT_TRUE(gcl::WriteFileAtomic(mine, "x", 1));
    EXPECT_EQ(mine, StartupDatabaseFileName(mine));
    const TOptions saved = Options;
    Options.DefaultDatabase = mine;
    EXPECT_EQ(mine, StartupDatabaseFileName());
    Options.DefaultDatabase = app.File("gone.kpx");
    EXPECT_EQ(def, StartupDatabaseFileName());
    Options = saved;
}

TEST(LayoutSettings, FirstRunWritesTheDesignedLayout) {
    TProgramFolder app;
    TLayoutSettings layout;
    layout.Theme = 3;  // changed before reading: reading restores every default
    layout.GroupMode = 4;
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), layout, ThemeCount));
    EXPECT_EQ(TLayoutSettings(), layout);
    EXPECT_FALSE(layout.ColumnsRead);

    // A first start shows 804 x 500 centred on the desktop.
    const TRect32 r = NormalWindowBounds(layout, Desktop);
    EXPECT_EQ((TRect32{110, 134, 914, 634}), r);
    EXPECT_EQ(1 + 2, GroupByToolbarIndex(layout.GroupMode));  // "List"

    layout.Left = r.Left;
    layout.Top = r.Top;
    EXPECT_TRUE(SaveLayoutSettings(SettingsFileName(), layout));
    test::ExpectGolden("first-run-settings.ini", ReadFile(SettingsFileName()));
    test::ExpectGolden("first-run-settings.inicol", ReadFile(ColumnsFileName()));
}

TEST(LayoutSettings, ChangedLayoutRoundTrips) {
    TProgramFolder app;
    TLayoutSettings layout;
    layout.Width = 900;
    layout.Height = 600;
    layout.Left = 40;
    layout.Top = 30;
    layout.Theme = 5;
    layout.OrgPanelWidth = 250;
    layout.NotePanelHeight = 120;
    layout.NotePanelMin = true;
    layout.GroupByPanelVisible = false;
    layout.FiltersPanelVisible = false;
    layout.CountItems = false;
    layout.GroupMode = -3;
    layout.Columns = {{1, 300, true}, {0, 90, false}, {2, 120, true}};
    ASSERT_TRUE(SaveLayoutSettings(SettingsFileName(), layout));

    TLayoutSettings read;
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_TRUE(read.ColumnsRead);
    layout.ColumnsRead = true;
    EXPECT_EQ(layout, read);
    EXPECT_EQ((TRect32{40, 30, 940, 630}), NormalWindowBounds(read, Desktop));
    EXPECT_EQ(1, GroupByToolbarIndex(read.GroupMode));  // off: "Nothing"

    // Options written by another part of the program stay in the file.
    gcl::TIniFile(SettingsFileName()).WriteString("Options", "AutoSave", "0");
    ASSERT_TRUE(SaveLayoutSettings(SettingsFileName(), layout));
    EXPECT_EQ("0", gcl::TIniFile(SettingsFileName()).ReadString("Options", "AutoSave", ""));
}

TEST(LayoutSettings, AMaximisedWindowKeepsThePlaceItIsRestoredTo) {
    TProgramFolder app;
    TLayoutSettings layout;
    layout.Width = 900;
    layout.Height = 650;
    layout.Left = 20;
    layout.Top = 10;
    ASSERT_TRUE(SaveLayoutSettings(SettingsFileName(), layout));

    // Closing maximised: Maximized is set, and the normal size and place
    // written are the ones the window was restored from in this run (made
    // larger and moved before it was maximised).
    layout.Maximized = true;
    layout.Width = 960;
    layout.Height = 700;
    layout.Left = 40;
    layout.Top = 30;
    layout.Columns[0].Width = 500;
    ASSERT_TRUE(SaveLayoutSettings(SettingsFileName(), layout));
    gcl::TIniFile ini(SettingsFileName());
    EXPECT_EQ(960, ini.ReadInteger("Form", "Width", 0));
    EXPECT_EQ(700, ini.ReadInteger("Form", "Height", 0));
    EXPECT_EQ(40, ini.ReadInteger("Form", "Left", -1));
    EXPECT_EQ(30, ini.ReadInteger("Form", "Top", -1));
    EXPECT_TRUE(ini.ReadBool("Form", "Maximized", false));
    // The columns are written whatever the window state.
    EXPECT_EQ(500, gcl::TIniFile(ColumnsFileName()).ReadInteger("columns", "C0w", 0));

    // A maximised start reads no columns; the one-shot timer reads them
    // later with width 250 as column 0's default.
    TLayoutSettings read;
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_TRUE(read.Maximized);
    EXPECT_EQ(960, read.Width);
    EXPECT_FALSE(read.ColumnsRead);
    EXPECT_EQ(DesignedColumns(), read.Columns);
    std::vector<TColumnLayout> cols;
    ASSERT_TRUE(LoadColumnLayout(SettingsFileName(), 4, true, cols));
    EXPECT_EQ(500, cols[0].Width);
    EXPECT_EQ((TColumnLayout{3, 100, true}), cols[3]);  // a column the file lacks
    gcl::DeleteFile(ColumnsFileName());
    gcl::TIniFile(ColumnsFileName()).WriteString("columns", "C1v", "0");
    // The title column hidden (no command does it) would show no task.
    gcl::TIniFile(ColumnsFileName()).WriteString("columns", "C0v", "0");
    ASSERT_TRUE(LoadColumnLayout(SettingsFileName(), 2, true, cols));
    EXPECT_EQ((TColumnLayout{0, 250, true}), cols[0]);
    EXPECT_EQ((TColumnLayout{1, 100, false}), cols[1]);
}

TEST(LayoutSettings, OutOfRangeIndexesFallBackAlone) {
    TProgramFolder app;
    {
        gcl::TIniFile ini(SettingsFileName());
        ini.WriteInteger("Form", "Width", 700);
        ini.WriteInteger("Form", "Theme", 40);
        ini.WriteInteger("Others", "Group M", 5);
        ini.WriteInteger("Org Panel", "DockedWidth", 222);
        ini.WriteString("Note Panel", "Min", "1");
    }
    gcl::TIniFile(ColumnsFileName()).WriteInteger("columns", "C2w", 77);
    TLayoutSettings read;
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_EQ(DefaultThemeIndex, read.Theme);
    EXPECT_EQ(DefaultGroupMode, read.GroupMode);
    EXPECT_EQ(700, read.Width);
    EXPECT_EQ(222, read.OrgPanelWidth);
    EXPECT_TRUE(read.NotePanelMin);
    EXPECT_EQ(77, read.Columns[2].Width);

    // Negative values are out of range too; -4..4 and the real themes stay.
    gcl::TIniFile(SettingsFileName()).WriteInteger("Form", "Theme", -1);
    gcl::TIniFile(SettingsFileName()).WriteInteger("Others", "Group M", -4);
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_EQ(DefaultThemeIndex, read.Theme);
    EXPECT_EQ(-4, read.GroupMode);
    gcl::TIniFile(SettingsFileName()).WriteInteger("Form", "Theme", 20);
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_EQ(20, read.Theme);
    // With fewer themes than the default index, the start-up theme stands in.
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, 10));
    EXPECT_EQ(StartupThemeIndex, read.Theme);
}

TEST(LayoutSettings, GarbageNumbersKeepTheirDefaults) {
    TProgramFolder app;
    {
        gcl::TIniFile ini(SettingsFileName());
        ini.WriteInteger("Org Panel", "DockedWidth", -100000);
        ini.WriteInteger("Note Panel", "DockedHeight", 99999999);
        gcl::TIniFile col(ColumnsFileName());
        col.WriteInteger("columns", "C0p", 77);
        col.WriteInteger("columns", "C0w", -2147483647 - 1);
        col.WriteInteger("columns", "C1p", 0);
        col.WriteInteger("columns", "C1w", 99999999);
        col.WriteInteger("columns", "C2w", 120);
    }
    TLayoutSettings read;
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_EQ(200, read.OrgPanelWidth);
    EXPECT_EQ(80, read.NotePanelHeight);
    ASSERT_TRUE(read.ColumnsRead);
    // Positions that are not each column's own number once go back to
    // the columns' order; widths out of range get the reading default.
    EXPECT_EQ((std::vector<TColumnLayout>{{0, 100, true}, {1, 100, true}, {2, 120, true}}), read.Columns);
    // Sound values, positions swapped, stay as stored.
    {
        gcl::TIniFile ini(SettingsFileName());
        ini.WriteInteger("Org Panel", "DockedWidth", MinPanelSize);
        ini.WriteInteger("Note Panel", "DockedHeight", MaxPanelSize);
        gcl::TIniFile col(ColumnsFileName());
        col.WriteInteger("columns", "C0p", 2);
        col.WriteInteger("columns", "C0w", MaxColumnWidth);
        col.WriteInteger("columns", "C1w", MinColumnWidth);
        col.WriteInteger("columns", "C2p", 1);
    }
    EXPECT_TRUE(LoadLayoutSettings(SettingsFileName(), read, ThemeCount));
    EXPECT_EQ(MinPanelSize, read.OrgPanelWidth);
    EXPECT_EQ(MaxPanelSize, read.NotePanelHeight);
    EXPECT_EQ((std::vector<TColumnLayout>{{2, MaxColumnWidth, true}, {0, MinColumnWidth, true}, {1, 120, true}}),
              read.Columns);
}

TEST(LayoutSettings, WindowPlacement) {
    TLayoutSettings l;
    l.Left = 0;
    l.Top = 200;  // either coordinate not positive centres both
    EXPECT_EQ((TRect32{110, 134, 914, 634}), NormalWindowBounds(l, Desktop));
    l.Left = 300;
    l.Top = -5;
    EXPECT_EQ((TRect32{110, 134, 914, 634}), NormalWindowBounds(l, Desktop));
    l.Top = 1;
    l.Width = 0;  // a size that is not positive keeps the designed one
    l.Height = 300;
    // ... and the window moves left as far as needed to be on the screen.
    EXPECT_EQ((TRect32{220, 1, 1024, 301}), NormalWindowBounds(l, Desktop));
    // A place of a monitor that is gone comes back inside the work area.
    l.Left = 3000;
    l.Top = 2000;
    l.Width = 804;
    l.Height = 500;
    EXPECT_EQ((TRect32{220, 268, 1024, 768}), NormalWindowBounds(l, Desktop));
    l.Left = 50;
    l.Top = 40;
    EXPECT_EQ((TRect32{50, 40, 854, 540}), NormalWindowBounds(l, Desktop));
    // No size beyond the work area, none below the least.
    l.Width = 100000;
    l.Height = 2147483647;
    EXPECT_EQ((TRect32{0, 0, 1024, 768}), NormalWindowBounds(l, Desktop));
    l.Width = 3;
    l.Height = 1;
    EXPECT_EQ((TRect32{50, 40, 50 + MinWindowWidth, 40 + MinWindowHeight}), NormalWindowBounds(l, Desktop));
    l.Width = 0;
    l.Height = 300;
    // Centring respects a work area that does not start at 0.
    l.Left = 0;
    EXPECT_EQ((TRect32{210, 284, 1014, 584}), NormalWindowBounds(l, TRect32{100, 50, 1124, 818}));

    EXPECT_EQ(1, GroupByToolbarIndex(0));
    EXPECT_EQ(1, GroupByToolbarIndex(-2));
    EXPECT_EQ(5, GroupByToolbarIndex(3));  // "Priority"
    EXPECT_EQ(6, GroupByToolbarIndex(4));
}

} // namespace
} // namespace qelvo
