// The grouped task list as a user meets it, found faulty by exploring the
// real program: a task whose grouped field is changed goes to its new
// group with the choice and the keyboard following it; a folded group's
// tasks are out of reach of the keys.
#include <gtest/gtest.h>

#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The short form (priority, due date, tags, title) of the saved task
// whose title part holds Title.
std::string ShortFormOf(const std::string& file, const std::string& title) {
    const std::vector<std::string> fields = Fields(TaskLine(file, title));
    return fields.empty() ? std::string() : fields[0];
}

std::string Chosen(const TMainWindowParts& parts) { return parts.ChosenTask(); }

} // namespace

// The chosen task's priority, due date, list or tags changed while the
// list is grouped by that field (the keys, the menus, the panels, a drop
// on the side tree): the task goes to its new group and stays the chosen
// one there, so the next key goes on from it. Ctrl+Up/Down left the task
// in its old group under the wrong caption, and every other change left
// no task chosen, the next arrow starting over from the top.
TEST(GroupedEditsScenario, TheChangedTaskGoesToItsNewGroupAndStaysChosen) {
    TProgram p("groups-edits");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // By priority: High holds Write report, Fix the tap and Order a lamp.
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(Chosen(parts), "Write report");
    // Ctrl+Down makes it normal: it leads the Normal group (the file's
    // order), right under the last task of High.
    Key(p, VK_DOWN, Ctrl);
    EXPECT_EQ(Chosen(parts), "Write report") << "after Ctrl+Down";
    Key(p, VK_UP);
    EXPECT_EQ(Chosen(parts), "Order a lamp") << "Ctrl+Down left the task in the High group";
    Key(p, VK_DOWN);
    ASSERT_EQ(Chosen(parts), "Write report");
    // Low from the context menu (Priority > Low): the task leads Low,
    // under the last normal task.
    Key(p, VK_APPS);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(Chosen(parts), "Write report") << "after Priority > Low";
    Key(p, VK_UP);
    EXPECT_EQ(Chosen(parts), "Buy milk");

    // By date: Paint the fence (the last date) loses its date (Shift
    // toggles the panel's check box): it goes to "No Due Date specified",
    // the first group, after Water the plants.
    Key(p, 'D', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_END);
    ASSERT_EQ(Chosen(parts), "Paint the fence");
    Key(p, 'D', Shift);
    Key(p, VK_SHIFT);
    Key(p, VK_RETURN);
    EXPECT_EQ(Chosen(parts), "Paint the fence") << "after the date was taken away";
    Key(p, VK_UP);
    EXPECT_EQ(Chosen(parts), "Water the plants");

    // By list: Write report moved to Home (Shift+L, the second list)
    // leads the Home group, under Old invoice, the last of Work.
    Key(p, 'L', Alt);
    Key(p, VK_HOME);
    ASSERT_EQ(Chosen(parts), "Write report");
    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(Chosen(parts), "Write report") << "after Move To List";
    Key(p, VK_UP);
    EXPECT_EQ(Chosen(parts), "Old invoice");

    // Dropped on Shop in the side tree, Call the bank (the first of Work)
    // leads Shop's tasks, under the last of Home.
    Key(p, VK_HOME);
    ASSERT_EQ(Chosen(parts), "Call the bank");
    // (The press lands where the date step clicked: soon after, it would
    // be the second click of a double click, which edits the title.)
    Sleep(GetDoubleClickTime() + 50);
    Drag(p, parts.ListItem(0), parts.TreeRow(3));
    EXPECT_EQ(Chosen(parts), "Call the bank") << "after the drop on Shop";
    Key(p, VK_UP);
    EXPECT_EQ(Chosen(parts), "Paint the fence");

    // By tags: Write report given "diy" too (Shift+T, Space on the first
    // tag, Enter) opens a group of its own, the first (its task comes
    // first in the file), above Call the bank's "phone".
    Key(p, 'T', Alt);
    Key(p, VK_HOME);
    ASSERT_EQ(Chosen(parts), "Write report");
    Key(p, 'T', Shift);
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);
    EXPECT_EQ(Chosen(parts), "Write report") << "after the tags' change";
    Key(p, VK_DOWN);
    EXPECT_EQ(Chosen(parts), "Call the bank");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ShortFormOf(file, "Write report"), "-;" + FileDate(0) + ";[diy,office]Write report");
    EXPECT_EQ(ListOf(file, "Write report"), "Home");
    EXPECT_EQ(ShortFormOf(file, "Paint the fence"), "-[diy]Paint the fence");
    EXPECT_EQ(ListOf(file, "Call the bank"), "Shop");
}

// Folding the group of the chosen task, by its button or its caption,
// left that task chosen or under the keyboard out of sight: Del asked to
// delete it and did, Ctrl+Up changed its priority, Space marked it done
// and F2 opened its title's editor over the next group's caption, and
// Down from the quick-entry box chose a task of the folded first group.
TEST(FoldedGroupScenario, AFoldedGroupKeepsItsTasksOutOfTheKeys) {
    TProgram p("groups-folded");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const RECT list = RectOf(parts.List);
    // The first group's (Work's) fold button and caption, under the header.
    const POINT button{list.left + 11, list.top + 35};
    const POINT caption{list.left + 200, list.top + 35};

    Click(p, parts.ListItem(1));
    ASSERT_EQ(Chosen(parts), "Call the bank");
    Click(p, button);
    EXPECT_EQ(Chosen(parts), "Note") << "a task of the folded group is still chosen";
    Key(p, VK_UP, Ctrl);
    Key(p, VK_DELETE);
    if (!p.NoDialogFor(300)) {
        ADD_FAILURE() << "Del asked to delete a task of the folded group";
        Key(p, 'N');
    }
    // Unfolded (a click on the caption: a second click on the button
    // would be a double click), chosen again, folded by a click on the
    // caption: the keyboard leaves the group too.
    Click(p, caption);
    Click(p, parts.ListItem(1));
    ASSERT_EQ(Chosen(parts), "Call the bank");
    Click(p, caption);
    Key(p, VK_SPACE);
    Key(p, VK_F2);
    if (ClassOf(p.Focus()) != "TGvListview") {
        EXPECT_NE(TextOf(p.Focus()), "Call the bank") << "F2 edits a title in the folded group";
        Key(p, VK_ESCAPE);
    }
    // Down from the quick-entry box, with none chosen, chooses the first
    // task shown, not one of the folded group above it, and the list's
    // keys go on from there.
    Key(p, 'N', Ctrl);
    Key(p, VK_DOWN);
    EXPECT_EQ(Chosen(parts), "Water the plants") << "Down from the quick-entry box chose a task of the folded group";
    Key(p, VK_DOWN);
    EXPECT_EQ(Chosen(parts), "Fix the tap");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ShortFormOf(file, "Call the bank"), ";" + FileDate(1) + ";[phone]Call the bank");
    const std::vector<std::string> fields = Fields(TaskLine(file, "Call the bank"));
    ASSERT_GT(fields.size(), 1u);
    EXPECT_EQ(fields[1], "--") << "marked done out of sight";
}

} // namespace qelvo::e2e
