// Nothing lost whatever fails: the Windows session ending under the
// program (with changes unsaved, with a question or a dialog open, with a
// database that cannot be written), the program killed in the middle of
// a save, the database's folder gone or its file held by another program,
// settings files that cannot be read or written.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

const char* SaveFailed = "The database could not be saved to: ";

} // namespace

TEST(SessionEndScenario, TheSessionEndingWithAQuestionOpenKeepsTheChangesTheNoteAndTheLayout) {
    TProgram p("fail-session-end");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    AddTask(p, "Typed before the log-off");
    // A note typed and not yet taken by a click elsewhere.
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.NoteCaption(), "Note: Write report");
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "more");
    // The close box's question is up when the session ends.
    Click(p, CloseBoxOf(main));
    ASSERT_NE(p.WaitDialog(), nullptr);
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Typed before the log-off"), "");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "Two pages\xF8more\xF8");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Others", "Group M"), "1") << "the layout was not written";
}

TEST(SessionEndScenario, ASessionEndThatCannotSaveWaitsAndSaysSo) {
    TProgram p("fail-session-end-unwritable");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Not to be lost at the log-off");
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    // The session does not end over changes that cannot be written: the
    // program says why and keeps them.
    EXPECT_FALSE(EndSession(p));
    EXPECT_TRUE(p.Running());
    ASSERT_TRUE(Answer(p, SaveFailed, "OK"));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});
    // Once the file can be written, the next end of the session saves.
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Not to be lost at the log-off"});
}

} // namespace qelvo::e2e
