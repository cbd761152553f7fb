// The task list after each kind of refresh: every item made again shows
// its task as the task is now (check mark, number), the list counts the
// marks it shows, and a mark the user changes afterwards reaches the task.
#include "MainWindowTest.h"

#include "data/uDataMan.h"

namespace qelvo::test {
namespace {

class MainRefresh : public TMainWindowTest {
protected:
    // Each shown item's check mark against its task's Done, and the list's
    // count of checked items against the done tasks shown.
    static void ExpectMarksFollowTheTasks(TMainForm* form) {
        TGvGlobalItems* items = form->List->GetItems();
        int done = 0;
        for (int i = 0; i < items->GetCount(); ++i) {
            const auto* task = static_cast<const TuTask*>(items->GetItems(i)->GetData());
            ASSERT_NE(nullptr, task);
            EXPECT_EQ(task->Done, items->GetItems(i)->GetChecked()) << task->Title;
            done += task->Done ? 1 : 0;
        }
        EXPECT_EQ(done, form->List->GetCheckedCount());
    }
};

TEST_F(MainRefresh, EveryRefreshShowsTheTasksMarksAndNumbersAsTheyAreNow) {
    TMainForm* form = OpenMainForm();
    form->CountItemsM->SetChecked(true);
    form->DateGroupA->Execute();
    ExpectMarksFollowTheTasks(form);
    EXPECT_EQ(5u, Titles(form).size());
    EXPECT_EQ("1. ", Titles(form)[0].substr(0, 3));
    EXPECT_EQ("5. ", Titles(form)[4].substr(0, 3));

    // Done and undone changed outside the list, then refreshes of each
    // kind: a grouping, a filter, a priority filter, a list chosen.
    TaskOf("Pay rent")->Done = false;
    TaskOf("Buy stamps")->Done = true;
    TaskOf("Call the bank")->Done = true;
    form->PriorityGroupA->Execute();
    ExpectMarksFollowTheTasks(form);
    EXPECT_EQ(2, form->List->GetCheckedCount());
    form->HideDoneA->Execute();
    EXPECT_EQ(3u, Titles(form).size());
    EXPECT_EQ(0, form->List->GetCheckedCount());
    ExpectMarksFollowTheTasks(form);
    TaskOf("Water the plants")->Done = true;
    form->HideDoneA->Execute();
    EXPECT_EQ(5u, Titles(form).size());
    EXPECT_EQ(3, form->List->GetCheckedCount());
    ExpectMarksFollowTheTasks(form);
    form->FPriorityA->Execute();
    ExpectMarksFollowTheTasks(form);
    form->FPriorityA->Execute();
    form->FPriorityA->Execute();
    form->FPriorityA->Execute();
    SelectTreeNode(form, "Work");
    ExpectMarksFollowTheTasks(form);
    SelectTreeNode(form, "All");
    ExpectMarksFollowTheTasks(form);

    // Numbers are those of the places now, and none once numbering is off.
    std::vector<std::string> titles = Titles(form);
    ASSERT_EQ(5u, titles.size());
    for (size_t i = 0; i < titles.size(); ++i)
        EXPECT_EQ(std::to_string(i + 1) + ". ", titles[i].substr(0, std::to_string(i + 1).size() + 2));
    form->CountItemsM->SetChecked(false);
    form->RefreshTaskList();
    for (const std::string& title : Titles(form)) EXPECT_NE('.', title[1]) << title;
    EXPECT_EQ(0, ItemOf(form, "Buy stamps")->GetTag());

    // A refresh takes the checked marks away with their items and shows
    // them again: no task changes, and the user's ticks count as before.
    Database->Modified = false;
    form->RefreshTaskList();
    form->RefreshTaskList();
    EXPECT_TRUE(TaskOf("Buy stamps")->Done);
    EXPECT_TRUE(ItemOf(form, "Buy stamps")->GetChecked());
    EXPECT_FALSE(Database->Modified);
    EXPECT_EQ(3, form->List->GetCheckedCount());

    // A mark shown checked by a refresh is taken off by the user as any
    // other: the task is undone and the count follows.
    ItemOf(form, "Buy stamps")->SetChecked(false);
    EXPECT_FALSE(TaskOf("Buy stamps")->Done);
    EXPECT_TRUE(Database->Modified);
    EXPECT_EQ(2, form->List->GetCheckedCount());
    ItemOf(form, "Send the report")->SetChecked(true);
    EXPECT_TRUE(TaskOf("Send the report")->Done);
    form->NoGroupA->Execute();
    ExpectMarksFollowTheTasks(form);

    // Grouped by tags, then by list with the tasks sorted by a header
    // (refreshes that meet the tasks in no order of the database), and
    // without groups again: the marks still follow their tasks.
    if (!form->TagsGroupA->GetChecked()) form->TagsGroupA->Execute();
    ExpectMarksFollowTheTasks(form);
    TaskOf("Water the plants")->Done = false;
    TaskOf("Pay rent")->Done = true;
    if (!form->FoldersGroupA->GetChecked()) form->FoldersGroupA->Execute();
    ExpectMarksFollowTheTasks(form);
    for (int click = 0; click < 2; ++click) {
        form->ListColumnClick(form->List, cmbLeft, form->List->GetHeader()->GetColumns()->GetColumns(0));
        TaskOf("Call the bank")->Done = click == 0;
        form->RefreshTaskList();
        ExpectMarksFollowTheTasks(form);
    }
    form->NoGroupA->Execute();
    ExpectMarksFollowTheTasks(form);
    CloseMainForm(form);
}

// A refresh that shows the tasks the list shows already (entering or
// leaving find mode with no text, a refresh asked again) keeps its items,
// and the list is what a fill from scratch shows: no task chosen or
// focused, every group open, the marks and numbers of the tasks as they
// are now; a change in any of them fills the list anew.
TEST_F(MainRefresh, ARefreshThatChangesNothingShownLeavesTheListAsAFillWould) {
    TMainForm* form = OpenMainForm();
    form->CountItemsM->SetChecked(true);
    form->DateGroupA->Execute();
    const std::vector<std::string> titles = Titles(form);
    const std::vector<std::string> groups = GroupCaptions(form);
    ASSERT_EQ(5u, titles.size());
    struct TFreed {
        int Count = 0;
        void Freeing(TCustomGvListview*, TGvItem*) { ++Count; }
    } freed;
    form->List->OnItemFreeing = TGvItemEvent(&freed, &TFreed::Freeing);
    SelectTasks(form, {"Pay rent", "Buy stamps"});
    ASSERT_NE(nullptr, form->List->GetSelection()->First());
    // The mouse over a task and over another's check box.
    TGvHotTrackManager* hot = form->List->GetHotTrack();
    hot->SetPendingObject(ItemOf(form, "Pay rent"), gcl::TPoint{5, 5});
    hot->SetPendingObjectCheck(ItemOf(form, "Buy stamps"));
    ASSERT_TRUE(ItemOf(form, "Pay rent")->GetHotTracking());

    form->tBtn1Click(form);
    ASSERT_TRUE(form->InFindMode());
    EXPECT_EQ(0, freed.Count);
    EXPECT_EQ(nullptr, form->List->GetSelection()->First());
    EXPECT_EQ(0, form->List->GetSelection()->GetCount());
    EXPECT_EQ(nullptr, form->List->GetSelection()->GetFocusedItem());
    EXPECT_EQ(nullptr, form->List->GetSelection()->GetAnchorItem());
    EXPECT_EQ(nullptr, hot->GetHotObject());
    EXPECT_EQ(nullptr, hot->GetHotCheckItem());
    EXPECT_FALSE(ItemOf(form, "Pay rent")->GetHotTracking());
    EXPECT_FALSE(ItemOf(form, "Buy stamps")->GetCheckHot());
    EXPECT_EQ(titles, Titles(form));
    EXPECT_EQ(groups, GroupCaptions(form));
    ExpectMarksFollowTheTasks(form);

    // A group closed by the user opens again, as in a new fill.
    TGvGroup* first = form->List->GetGroups()->GetGroups(0);
    first->SetExpanded(false);
    form->tBtn1Click(form);
    ASSERT_FALSE(form->InFindMode());
    for (int g = 0; g < form->List->GetGroups()->GetCount(); ++g)
        EXPECT_TRUE(form->List->GetGroups()->GetGroups(g)->GetExpanded()) << g;
    EXPECT_EQ(titles, Titles(form));
    EXPECT_EQ(5, freed.Count);

    // Marks changed outside the list, numbering off and on again, a title
    // renamed, a task added: each refresh shows the tasks as they are now.
    TaskOf("Pay rent")->Done = !TaskOf("Pay rent")->Done;
    form->RefreshTaskList();
    ExpectMarksFollowTheTasks(form);
    EXPECT_EQ(10, freed.Count);
    form->CountItemsM->SetChecked(false);
    form->RefreshTaskList();
    EXPECT_EQ(0, ItemOf(form, "Buy stamps")->GetTag());
    form->CountItemsM->SetChecked(true);
    form->RefreshTaskList();
    EXPECT_EQ(titles, Titles(form));
    TaskOf("Buy stamps")->Title = "Buy more stamps";
    form->RefreshTaskList();
    EXPECT_NE(nullptr, ItemOf(form, "Buy more stamps"));
    EXPECT_EQ(titles.size(), Titles(form).size());
    form->AddTask("Post the letters", TFolderRef{0, "Home"}, *Database);
    EXPECT_EQ(titles.size() + 1, Titles(form).size());
    EXPECT_NE(nullptr, ItemOf(form, "Post the letters"));
    ExpectMarksFollowTheTasks(form);
    form->List->OnItemFreeing = TGvItemEvent();
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
