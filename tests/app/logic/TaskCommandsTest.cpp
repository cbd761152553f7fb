// Task list commands: priority keys, hot zones, title edits, delete,
// moving to a list, the quick panels' edits and dropping on a group.
#include <gtest/gtest.h>

#include <functional>

#include "AppLogicTest.h"
#include "app/logic/TaskCommands.h"

namespace qelvo {
namespace {

TEST(TaskCommands, PriorityWrap) {
    EXPECT_EQ(1, PriorityUp(0));
    EXPECT_EQ(2, PriorityUp(1));
    EXPECT_EQ(0, PriorityUp(2));
    EXPECT_EQ(2, PriorityDown(0));
    EXPECT_EQ(0, PriorityDown(1));
    EXPECT_EQ(1, PriorityDown(2));
    TuData data;
    TuTask t;
    SetTaskPriority(t, 2, data);
    EXPECT_EQ(2, t.Priority);
    EXPECT_TRUE(data.Modified);
}

TEST(TaskCommands, ListKeys) {
    auto is = [](TListKeyDecision d, TListCommand c, bool def) { return d.Command == c && d.DoDefault == def; };
    EXPECT_TRUE(is(ListKeyDecision(VkLeft, false, false, true, true), TListCommand::FocusTree, false));
    EXPECT_TRUE(is(ListKeyDecision(VkRight, false, false, true, false), TListCommand::None, false));
    EXPECT_TRUE(is(ListKeyDecision(VkDelete, false, false, true, true), TListCommand::DeleteTasks, true));
    EXPECT_TRUE(is(ListKeyDecision(VkReturn, false, false, false, true), TListCommand::EditTitle, false));
    EXPECT_TRUE(is(ListKeyDecision(VkUp, false, true, true, true), TListCommand::PriorityUp, false));
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, true, true, true), TListCommand::PriorityDown, false));
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, true, false, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkUp, false, false, true, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision('T', true, false, true, true), TListCommand::EditTags, true));
    EXPECT_TRUE(is(ListKeyDecision('D', true, false, true, true), TListCommand::EditDueDate, true));
    EXPECT_TRUE(is(ListKeyDecision('L', true, false, true, true), TListCommand::EditFolder, true));
    EXPECT_TRUE(is(ListKeyDecision('N', true, false, true, true), TListCommand::EditNote, true));
    EXPECT_TRUE(is(ListKeyDecision('N', false, false, true, true), TListCommand::None, true));
    // No task focused yet: the move keys choose the first one; Left and
    // Right still go to the tree, and Ctrl keeps the list's own move.
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, false, false, true, false), TListCommand::ChooseFirst, false));
    EXPECT_TRUE(is(ListKeyDecision(VkEnd, true, false, false, true, false), TListCommand::ChooseFirst, true));
    EXPECT_TRUE(is(ListKeyDecision(VkLeft, false, false, false, true, false), TListCommand::FocusTree, false));
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, true, false, true, false), TListCommand::None, true));
    // Space and F2 with a task focused but none chosen choose it; with one
    // chosen they are the list's own (tick, edit).
    EXPECT_TRUE(is(ListKeyDecision(VkSpace, false, false, false, true), TListCommand::ChooseFocused, false));
    EXPECT_TRUE(is(ListKeyDecision(VkF2, false, false, false, true), TListCommand::ChooseFocused, false));
    EXPECT_TRUE(is(ListKeyDecision(VkSpace, false, false, true, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkF2, false, false, true, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkSpace, false, false, false, true, false), TListCommand::None, true));
    // Down likewise; with Shift or Ctrl, and Up, it moves as the list does.
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, false, false, true), TListCommand::ChooseFocused, false));
    EXPECT_TRUE(is(ListKeyDecision(VkDown, true, false, false, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkDown, false, false, true, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkUp, false, false, false, true), TListCommand::None, true));
    // Space with several chosen ticks them all, whichever has the focus;
    // Ctrl+Space stays the list's own (it chooses).
    EXPECT_TRUE(is(ListKeyDecision(VkSpace, false, false, true, true, true, true), TListCommand::TickChosen, false));
    EXPECT_TRUE(is(ListKeyDecision(VkSpace, false, true, true, true, true, true), TListCommand::None, true));
    EXPECT_TRUE(is(ListKeyDecision(VkF2, false, false, true, true, true, true), TListCommand::None, true));
}

TEST(TaskCommands, HotZones) {
    EXPECT_TRUE(PointInRect(0, 0, 10, 10, 10, 0));
    EXPECT_FALSE(PointInRect(0, 0, 10, 10, 11, 0));
    EXPECT_TRUE(PointInRect(TRect32{2, 3, 4, 5}, 2, 5));
    EXPECT_FALSE(PointInRect(TRect32{2, 3, 4, 5}, 2, 6));
    EXPECT_EQ(THotZone::None, HotZoneAt(0, 16, 50, 20, 100));
    EXPECT_EQ(THotZone::Priority, HotZoneAt(0, 17, 50, 20, 100));
    EXPECT_EQ(THotZone::Priority, HotZoneAt(0, 31, 50, 20, 100));
    EXPECT_EQ(THotZone::None, HotZoneAt(0, 32, 50, 20, 100));
    EXPECT_EQ(THotZone::Tags, HotZoneAt(1, 0, 50, 20, 100));
    EXPECT_EQ(THotZone::None, HotZoneAt(1, 15, 50, 20, 100));
    EXPECT_EQ(THotZone::DueDate, HotZoneAt(2, 14, 50, 20, 100));
    EXPECT_EQ(THotZone::DueDate, HotZoneAt(2, 5, 120, 20, 100));
    EXPECT_EQ(THotZone::None, HotZoneAt(2, 5, 121, 20, 100));  // below the visible rows
    EXPECT_EQ(THotZone::None, HotZoneAt(3, 5, 50, 20, 100));
}

TEST(TaskCommands, TitleEdits) {
    // Only a leading number prefix, once.
    EXPECT_EQ("Buy milk. Call mom", StripNumberingPrefix("2. Buy milk. Call mom"));
    EXPECT_EQ("3. x", StripNumberingPrefix("12. 3. x"));
    EXPECT_EQ("Buy milk. Call mom", StripNumberingPrefix("Buy milk. Call mom"));
    EXPECT_EQ("v2. draft", StripNumberingPrefix("v2. draft"));
    EXPECT_EQ(". x", StripNumberingPrefix(". x"));
    EXPECT_EQ("", StripNumberingPrefix("7. "));
    EXPECT_EQ("7.x", StripNumberingPrefix("7.x"));

    TuData data;
    TuTask* t = test::AddTask(data, "Old");
    EXPECT_FALSE(ApplyTitleEdit(*t, "   ", data));
    EXPECT_EQ("Old", t->Title);
    EXPECT_FALSE(data.Modified);
    EXPECT_TRUE(ApplyTitleEdit(*t, " New ", data));
    EXPECT_EQ("New", t->Title);
    EXPECT_EQ("New", data.Tasks->Get(0));
    EXPECT_TRUE(data.Modified);
}

TEST(TaskCommands, DeleteHandsTheTasksOver) {
    TuData data;
    TuTask* a = test::AddTask(data, "a");
    TuTask* b = test::AddTask(data, "b");
    test::AddTask(data, "c");
    TuTask stranger;
    auto removed = DeleteTasks(data, {b, &stranger, a});
    ASSERT_EQ(2u, removed.size());
    EXPECT_EQ(b, removed[0].get());
    EXPECT_EQ(a, removed[1].get());
    // Still alive for a list that shows them until its refresh.
    EXPECT_EQ("b", removed[0]->Title);
    EXPECT_EQ(1, data.Tasks->GetCount());
    EXPECT_TRUE(data.Modified);
    data.Modified = false;
    EXPECT_TRUE(DeleteTasks(data, {&stranger}).empty());
    EXPECT_FALSE(data.Modified);
}

TEST(TaskCommands, ListsAndMoves) {
    gcl::TStringList folders;
    folders.Add(std::string("HomeWork") + FieldSeparator + "2" + FieldSeparator);
    folders.Add(std::string("Work") + FieldSeparator + "x" + FieldSeparator);
    folders.Add("Bare");
    EXPECT_EQ((std::vector<std::string>{"HomeWork", "Work", "Bare"}), ListMenuCaptions(folders));
    EXPECT_EQ(1, MoveToListMark(folders, "Work"));  // not "HomeWork"
    EXPECT_EQ(-1, MoveToListMark(folders, ""));      // a task without a list marks none
    EXPECT_EQ(-1, MoveToListMark(folders, "Bare"));
    // A list without a name (an older file's) has no item, as it has no
    // node in the side tree: the items after it keep the tree's places.
    folders.Insert(0, std::string(1, FieldSeparator) + "1" + FieldSeparator);
    EXPECT_EQ((std::vector<std::string>{"HomeWork", "Work", "Bare"}), ListMenuCaptions(folders));
    EXPECT_EQ(1, MoveToListMark(folders, "Work"));
    EXPECT_EQ(-1, MoveToListMark(folders, ""));
    folders.Delete(0);
    int icon = 0;
    EXPECT_TRUE(TryFolderEntryIcon(folders.Get(0), icon));
    EXPECT_EQ(2, icon);
    EXPECT_FALSE(TryFolderEntryIcon(folders.Get(1), icon));
    EXPECT_FALSE(TryFolderEntryIcon("Bare", icon));
    EXPECT_EQ("Bare", FolderEntryName("Bare"));

    TuData data;
    TuTask* a = test::AddTask(data, "a");
    TuTask* b = test::AddTask(data, "b");
    a->FolderIcon = 4;
    MoveTasksToList({a, b}, std::string(60, 'L'), data);
    EXPECT_EQ(std::string(50, 'L'), a->Folder);
    EXPECT_EQ(4, a->FolderIcon);
    EXPECT_TRUE(data.Modified);
}

TEST(TaskCommands, QuickPanelEdits) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TuTask* t = test::AddTask(data, "t");
    const double day = gcl::EncodeDate(2025, 3, 7);
    EXPECT_EQ("07/03/2025", ApplyDueEdit(*t, true, day, data));
    EXPECT_EQ(day, t->Due);
    EXPECT_EQ("", ApplyDueEdit(*t, false, day, data));
    EXPECT_EQ(0, t->Due);
    // A day the file cannot keep is no date at once, not an overdue date
    // with an empty cell until the next save drops it.
    for (const double none : {gcl::EncodeDate(1901, 12, 31), gcl::EncodeDate(1850, 1, 1) + 0.5, 2.0, -1.0, 4e6}) {
        EXPECT_EQ("", ApplyDueEdit(*t, true, none, data)) << none;
        EXPECT_EQ(0, t->Due) << none;
    }
    EXPECT_EQ(gcl::EncodeDate(1902, 1, 1), KeptDue(gcl::EncodeDate(1902, 1, 1)));
    EXPECT_EQ(gcl::EncodeDate(9999, 12, 31), KeptDue(gcl::EncodeDate(9999, 12, 31)));
    EXPECT_EQ(5.5, DuePanelStartDate(*t, 5.5));
    t->Due = day;
    EXPECT_EQ(day, DuePanelStartDate(*t, 5.5));

    data.Tags->Add("Work");
    bool added = false;
    EXPECT_EQ("work,home", ApplyTagsEdit(*t, " work , home ", data, &added));
    EXPECT_TRUE(added);
    EXPECT_EQ("Work\r\nhome\r\n", data.Tags->GetText());
}

// The commands on several chosen tasks give every one the new value as one
// change of the database (one new change mark), and a task not chosen
// keeps what it had.
TEST(TaskCommands, SeveralChosenTasksChangeAsOne) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TuTask* a = test::AddTask(data, "a", "L", "x", 0, 2, true);
    TuTask* b = test::AddTask(data, "b", "L", "", 45000, 0, false);
    TuTask* c = test::AddTask(data, "c", "L", "home", 0, 1, true);
    TuTask* other = test::AddTask(data, "other", "L", "home", 45001, 1, false);
    const std::vector<TuTask*> chosen = {a, b, c};
    auto oneChange = [&](const char* what, const std::function<void()>& command) {
        data.Modified = false;
        const std::uint64_t before = data.ChangeMark();
        command();
        EXPECT_TRUE(data.Modified) << what;
        EXPECT_NE(before, data.ChangeMark()) << what;
    };

    oneChange("priority", [&] { SetTasksPriority(chosen, 2, data); });
    for (const TuTask* t : chosen) EXPECT_EQ(2, t->Priority);
    // Space: one not done makes them all done; all done, none.
    oneChange("tick", [&] { EXPECT_TRUE(TickTasks(chosen, data)); });
    for (const TuTask* t : chosen) EXPECT_TRUE(t->Done);
    oneChange("untick", [&] { EXPECT_FALSE(TickTasks(chosen, data)); });
    for (const TuTask* t : chosen) EXPECT_FALSE(t->Done);
    const double day = gcl::EncodeDate(2025, 3, 7);
    oneChange("due date", [&] { EXPECT_EQ("07/03/2025", ApplyDueEdit(chosen, true, day + 0.5, data)); });
    for (const TuTask* t : chosen) EXPECT_EQ(day + 0.5, t->Due);
    oneChange("no due date", [&] { EXPECT_EQ("", ApplyDueEdit(chosen, false, day, data)); });
    for (const TuTask* t : chosen) EXPECT_EQ(0, t->Due);
    bool added = false;
    oneChange("tags", [&] { EXPECT_EQ("x,car", ApplyTagsEdit(chosen, " x , car ", data, &added)); });
    EXPECT_TRUE(added);
    EXPECT_EQ("x\r\ncar\r\n", data.Tags->GetText());
    for (const TuTask* t : chosen) EXPECT_EQ("x,car", std::string(t->Tags));

    EXPECT_EQ(1, other->Priority);
    EXPECT_FALSE(other->Done);
    EXPECT_EQ(45001, other->Due);
    EXPECT_EQ("home", std::string(other->Tags));

    // None chosen: nothing changes.
    data.Modified = false;
    SetTasksPriority({}, 0, data);
    TickTasks({}, data);
    ApplyDueEdit(std::vector<TuTask*>{}, true, day, data);
    ApplyTagsEdit(std::vector<TuTask*>{}, "new", data, &added);
    EXPECT_FALSE(added);
    EXPECT_FALSE(data.Modified);
    EXPECT_EQ(2, data.Tags->GetCount());
}

TEST(TaskCommands, DropsPerGroupingMode) {
    TuData data;
    TuTask* target = test::AddTask(data, "target");
    target->Folder = "Home";
    target->FolderIcon = 3;
    target->Due = 45000;
    target->Priority = 2;
    target->Tags = "a,b";
    TuTask* t = test::AddTask(data, "t");
    TuTask outside;
    EXPECT_FALSE(ListAcceptsDrag(0));
    EXPECT_FALSE(ListAcceptsDrag(-2));
    EXPECT_TRUE(ListAcceptsDrag(2));
    EXPECT_FALSE(ApplyDrop(0, *target, {t}, data));
    EXPECT_FALSE(data.Modified);
    EXPECT_TRUE(ApplyDrop(1, *target, {t, &outside}, data));
    EXPECT_EQ("Home", t->Folder);
    EXPECT_EQ(3, t->FolderIcon);
    EXPECT_EQ("", outside.Folder);
    EXPECT_TRUE(ApplyDrop(2, *target, {t}, data));
    EXPECT_EQ(45000, t->Due);
    EXPECT_TRUE(ApplyDrop(3, *target, {t}, data));
    EXPECT_EQ(2, t->Priority);
    EXPECT_TRUE(ApplyDrop(4, *target, {t}, data));
    EXPECT_EQ("a,b", t->Tags);
    EXPECT_TRUE(data.Modified);
}

} // namespace
} // namespace qelvo
