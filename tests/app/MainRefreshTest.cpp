// The task list after each kind of refresh: every item made again shows
// its task as the task is now (check mark, number), the list counts the
// marks it shows, and a mark the user changes afterwards reaches the task.
#include "MainWindowTest.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/logic/TaskCommands.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Strings.h"

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

// Everything a fill decides about the list, one line per group and item:
// what any refill must leave as a fill from an empty list does.
std::vector<std::string> ListShot(TMainForm* form) {
    std::vector<std::string> shot;
    auto rect = [](const gcl::TRect& r) {
        return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
               std::to_string(r.Bottom);
    };
    TGvGroups* groups = form->List->GetGroups();
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        const auto* opener = static_cast<const TuTask*>(group->GetData());
        shot.push_back("group " + gcl::WideToAnsi(group->GetCaption()) + " opened by " +
                       (opener ? opener->Title : std::string("?")) + " key " + std::to_string(group->GetKey()) +
                       " tag " + std::to_string(group->GetTag()) + (group->GetExpanded() ? " open" : " folded") +
                       " at " + rect(group->GetDisplayRect()));
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            const auto* task = static_cast<const TuTask*>(item->GetData());
            shot.push_back("  " + (task ? task->Title : std::string("?")) + " tag " + std::to_string(item->GetTag()) +
                           (item->GetChecked() ? " checked" : "") + (item->GetVisible() ? "" : " hidden") +
                           (item->GetSelected() ? " chosen" : "") + (item->GetFocused() ? " focused" : "") +
                           (item->GetHotTracking() || item->GetCheckHot() ? " hot" : "") +
                           (item->GetSelectionGroup() ? " in a selection group" : "") + " index " +
                           std::to_string(item->GetIndex()) + " at " + rect(item->GetDisplayRect()) + " caption " +
                           gcl::WideToAnsi(item->GetCaption()));
        }
    }
    TGvSelectionManager* selection = form->List->GetSelection();
    shot.push_back("checked " + std::to_string(form->List->GetCheckedCount()) + ", chosen " +
                   std::to_string(selection->GetCount()) + (selection->GetFocusedItem() ? ", a focus" : "") +
                   (selection->GetAnchorItem() ? ", an anchor" : "") + ", offset " +
                   std::to_string(form->List->GetScrollbars()->GetOffsetX()) + "," +
                   std::to_string(form->List->GetScrollbars()->GetOffsetY()) + ", delete " +
                   (form->DelTaskA->GetEnabled() ? "on" : "off"));
    return shot;
}

// Refills with other groups, filters, numbering, sorts and tasks edited in
// between, each from a list with tasks chosen, the mouse over an item, the
// list scrolled and (but before a refresh that changes nothing shown or
// only hides some tasks or shows a few more) a group folded: the list is
// the one a fill from an empty list makes, to every item's place and
// state; a refresh that changes nothing shown keeps every item, and one
// that only hides tasks or shows a few more keeps the items of the tasks
// shown before and after.
TEST_F(MainRefresh, EveryRefillLeavesTheListAsAFillFromNothingWould) {
    TMainForm* form = OpenMainForm();
    const char* lists[] = {"Home", "Work", "Errands", "Garden"};
    const char* tags[] = {"", "mail", "bank", "mail,bank", "car"};
    for (int i = 0; i < 60; ++i) {
        TFolderRef folder;
        folder.Name = lists[(i * 7) % 4];
        const std::string due = i % 3 ? ";" + std::to_string(3 + i % 5) + "/1" + std::to_string(i % 3) + "/2026;" : "";
        const std::string tag = tags[(i * 3) % 5][0] ? std::string("[") + tags[(i * 3) % 5] + "]" : "";
        const std::string mark = i % 4 == 0 ? "+" : i % 4 == 1 ? "-" : "";
        TuTask* task = form->AddTask(mark + due + tag + "Job " + std::to_string((i * 37) % 60), folder, *Database);
        task->Done = i % 5 == 0;
    }
    form->FoldersGroupA->Execute();
    struct TFreed {
        int Count = 0;
        void Freeing(TCustomGvListview*, TGvItem*) { ++Count; }
    } freed;
    form->List->OnItemFreeing = TGvItemEvent(&freed, &TFreed::Freeing);
    TGvColumn* title = form->List->GetHeader()->GetColumns()->GetColumns(0);
    TGvColumn* due = form->List->GetHeader()->GetColumns()->GetColumns(2);
    // What the user leaves in the list before each step.
    auto disturb = [&](bool fold) {
        SelectTasks(form, {"Job 7", "Job 12", "Job 30"});
        TGvGroups* groups = form->List->GetGroups();
        if (fold && groups->GetCount() > 1) groups->GetGroups(1)->SetExpanded(false);
        if (TGvItem* item = ItemOf(form, "Job 3")) {
            form->List->GetHotTrack()->SetPendingObject(item, gcl::TPoint{5, 5});
            form->List->GetHotTrack()->SetPendingObjectCheck(item);
        }
        form->List->GetScrollbars()->SetOffsetY(40);
    };
    // What a step leaves of the items: every one (nothing shown changes),
    // those of the tasks still shown (some tasks hidden, or a few more
    // shown), or none need stay.
    enum TKeeps { Refills, KeepsShown, KeepsAll };
    struct TStep {
        const char* What;
        std::function<void()> Do;
        TKeeps Keeps;
    };
    auto findModeAndBack = [&] {
        form->tBtn1Click(form);
        form->tBtn1Click(form);
    };
    const std::vector<TStep> steps = {
        {"group by date", [&] { form->DateGroupA->Execute(); }, Refills},
        {"find mode and back", findModeAndBack, KeepsAll},
        {"group by priority", [&] { form->PriorityGroupA->Execute(); }, Refills},
        {"group by tags", [&] { form->TagsGroupA->Execute(); }, Refills},
        {"numbered", [&] { form->CountItemsM->SetChecked(true); form->RefreshTaskList(); }, Refills},
        {"asked again", [&] { form->RefreshTaskList(); }, KeepsAll},
        {"group by list", [&] { form->FoldersGroupA->Execute(); }, Refills},
        // Filters that hide some of the tasks shown, and show them again:
        // a few more (the four titles without an "o") keep the items
        // shown, a fifth of the tasks more (those done) fill the list anew.
        // The task that opens the first group is done first: another one
        // opens it then.
        {"by list, done hidden",
         [&] {
             static_cast<TuTask*>(form->List->GetGroups()->GetGroups(0)->GetData())->Done = true;
             Database->Modified = true;
             form->HideDoneA->Execute();
         },
         KeepsShown},
        {"by list, done shown", [&] { form->HideDoneA->Execute(); }, Refills},
        {"by list, a search",
         [&] {
             form->tBtn1Click(form);
             form->TopEdit->SetText(L"o");
         },
         KeepsShown},
        {"by list, the search cleared",
         [&] {
             form->TopEdit->SetText(L"");
             form->tBtn1Click(form);
         },
         KeepsShown},
        {"sorted by title, by date",
         [&] {
             form->ListColumnClick(form->List, cmbLeft, title);
             form->DateGroupA->Execute();
         },
         Refills},
        {"sorted, find mode and back", findModeAndBack, KeepsAll},
        {"sorted, by list", [&] { form->FoldersGroupA->Execute(); }, Refills},
        {"sorted by list, done hidden", [&] { form->HideDoneA->Execute(); }, KeepsShown},
        {"sorted by list, done shown", [&] { form->HideDoneA->Execute(); }, Refills},
        {"sorted by list, a search",
         [&] {
             form->tBtn1Click(form);
             form->TopEdit->SetText(L"o");
         },
         KeepsShown},
        {"sorted by list, the search cleared",
         [&] {
             form->TopEdit->SetText(L"");
             form->tBtn1Click(form);
         },
         KeepsShown},
        {"sorted by due date down, by tags",
         [&] {
             form->ListColumnClick(form->List, cmbLeft, due);
             form->ListColumnClick(form->List, cmbLeft, due);
             form->TagsGroupA->Execute();
         },
         Refills},
        {"done hidden", [&] { form->HideDoneA->Execute(); }, Refills},
        {"marks, titles and tags changed, done shown",
         [&] {
             TaskOf("Job 1")->Done = !TaskOf("Job 1")->Done;
             TaskOf("Job 2")->Done = true;
             TaskOf("Job 4")->Title = "Job 4 again";
             TaskOf("Job 8")->Tags = "car";
             form->HideDoneA->Execute();
         },
         Refills},
        {"a list chosen", [&] { SelectTreeNode(form, "Work"); }, Refills},
        // Edits between refreshes of one filter, each then regrouped: the
        // filter's answer from before the edit no longer holds.
        {"done hidden in the list", [&] { form->HideDoneA->Execute(); }, Refills},
        {"a task ticked, then regrouped",
         [&] {
             form->List->GetItems()->GetItems(0)->SetChecked(true);
             form->PriorityGroupA->Execute();
         },
         Refills},
        {"a task moved to another list, then regrouped",
         [&] {
             MoveTasksToList({static_cast<TuTask*>(form->List->GetItems()->GetItems(0)->GetData())}, "Home",
                             *Database);
             form->DateGroupA->Execute();
         },
         Refills},
        {"a task of another list moved in, then regrouped",
         [&] {
             MoveTasksToList({TaskOf("Job 1")}, "Work", *Database);
             form->TagsGroupA->Execute();
         },
         Refills},
        {"done shown in the list", [&] { form->HideDoneA->Execute(); }, Refills},
        {"all lists", [&] { SelectTreeNode(form, "All"); }, Refills},
        {"not numbered, by priority",
         [&] {
             form->CountItemsM->SetChecked(false);
             form->PriorityGroupA->Execute();
         },
         Refills},
        {"not grouped", [&] { form->NoGroupA->Execute(); }, Refills},
        {"not grouped, done hidden", [&] { form->HideDoneA->Execute(); }, Refills},
        {"grouped by date again", [&] { form->HideDoneA->Execute(); form->DateGroupA->Execute(); }, Refills},
        {"a task added", [&] { form->AddTask("+[mail]Job added", TFolderRef{0, "Home"}, *Database); }, Refills},
        {"by list after the add", [&] { form->FoldersGroupA->Execute(); }, Refills},
        {"by list, find mode and back", findModeAndBack, KeepsAll},
    };
    for (const TStep& step : steps) {
        disturb(step.Keeps == Refills);
        std::vector<std::pair<TuTask*, TGvItem*>> before;
        for (int i = 0; i < form->List->GetItems()->GetCount(); ++i) {
            TGvItem* item = form->List->GetItems()->GetItems(i);
            before.emplace_back(static_cast<TuTask*>(item->GetData()), item);
        }
        freed.Count = 0;
        step.Do();
        const std::vector<std::string> moved = ListShot(form);
        // Items of tasks shown before and after.
        int same = 0;
        int again = 0;
        for (const auto& [task, item] : before) {
            for (int g = 0; g < form->List->GetGroups()->GetCount(); ++g) {
                TGvGroup* group = form->List->GetGroups()->GetGroups(g);
                for (int i = 0; i < group->ItemCount(); ++i)
                    if (group->GetItem(i)->GetData() == task) {
                        ++again;
                        same += group->GetItem(i) == item ? 1 : 0;
                    }
            }
        }
        if (step.Keeps == KeepsAll) {
            EXPECT_EQ(static_cast<int>(before.size()), same) << step.What;
            EXPECT_EQ(0, freed.Count) << step.What;
        } else if (step.Keeps == KeepsShown) {
            EXPECT_EQ(again, same) << step.What;
            EXPECT_EQ(static_cast<int>(before.size()) - same, freed.Count) << step.What;
            EXPECT_NE(static_cast<int>(before.size()), form->List->GetItems()->GetCount()) << step.What;
        } else {
            EXPECT_GT(freed.Count, 0) << step.What;
        }
        EXPECT_LE(same, again) << step.What;
        ExpectMarksFollowTheTasks(form);
        form->ReleaseTaskReferences();
        form->RefreshTaskList();
        EXPECT_EQ(ListShot(form), moved) << step.What;
    }
    form->List->OnItemFreeing = TGvItemEvent();
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
