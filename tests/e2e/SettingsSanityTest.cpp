// settings.ini and settings.inicol as a user may find them: positions of
// a screen that is gone, sizes larger than any screen, and numbers that
// are plain garbage. The window comes up whole, on the screen, readable,
// and what it writes back is sound.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool Inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom &&
           r.right - r.left >= 200 && r.bottom - r.top >= 150;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

int IniInt(const std::string& path, const std::string& section, const std::string& key) {
    return std::atoi(IniValue(path, section, key).c_str());
}

} // namespace

TEST(SettingsSanityScenario, AWindowStoredOffTheScreenOrLargerThanItComesBackOnIt) {
    TProgram p("settings-off-screen");
    WriteEmptyDatabase(p.DatabasePath());
    const RECT work = WorkArea();
    // A position of a second monitor that is no longer there.
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\nLeft=3000\r\nTop=2000\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(Inside(RectOf(main), work)) << Describe(RectOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Left") + IniInt(p.SettingsPath(), "Form", "Width"), work.right);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Top") + IniInt(p.SettingsPath(), "Form", "Height"), work.bottom);

    // A size no screen has.
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=100000\r\nHeight=70000\r\nLeft=0\r\nTop=0\r\n");
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(Inside(RectOf(main), work)) << Describe(RectOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Width"), work.right - work.left);
}

TEST(SettingsSanityScenario, GarbageNumbersInTheSettingsFilesLeaveTheWindowReadable) {
    TProgram p("settings-garbage");
    WriteEmptyDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(),
              "[Options]\r\nList Font Size=-2147483648\r\nLists Font Size=2147483647\r\nAutoSave Interval=-7\r\n"
              "[Org Panel]\r\nDockedWidth=-100000\r\n[Note Panel]\r\nDockedHeight=99999999\r\n");
    WriteFile(p.PathOf("settings.inicol"),
              "[columns]\r\nC0p=77\r\nC0w=-2147483648\r\nC1p=-3\r\nC1w=99999999\r\nC2p=2\r\nC2w=100\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "First readable task");
    AddTask(p, "Second readable task");
    const RECT window = RectOf(main);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    const RECT list = RectOf(lists.front());
    Shot(p, main, "settings-garbage");
    // The task list takes a fair part of the window, and its titles are
    // drawn: dark text covers a share of its rows.
    EXPECT_GT(list.right - list.left, (window.right - window.left) / 3) << Describe(list);
    EXPECT_GT(list.bottom - list.top, (window.bottom - window.top) / 4) << Describe(list);
    const RECT rows{list.left + 2, list.top + 24, list.right - 2, list.top + 90};
    EXPECT_LT(ShareOf(rows, RGB(255, 255, 255)), 0.97);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string columns = p.PathOf("settings.inicol");
    for (const char* key : {"C0w", "C1w", "C2w"}) {
        EXPECT_GE(IniInt(columns, "columns", key), 8) << key;
        EXPECT_LE(IniInt(columns, "columns", key), 4000) << key;
    }
    for (const char* key : {"C0p", "C1p", "C2p"}) {
        EXPECT_GE(IniInt(columns, "columns", key), 0) << key;
        EXPECT_LE(IniInt(columns, "columns", key), 2) << key;
    }
    EXPECT_GT(IniInt(p.SettingsPath(), "Org Panel", "DockedWidth"), 0);
    EXPECT_LT(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), window.bottom - window.top);
}

} // namespace qelvo::e2e
