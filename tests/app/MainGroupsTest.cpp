// The task list's groups hold no captions or images of their own: the list
// asks for them when it shows or reads a group, and they must be what the
// layout of the same tasks names, in every grouping, after a header sort
// and in the printed report.
#include "MainWindowTest.h"

#include <algorithm>

#include "app/MainPrint.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Strings.h"

namespace qelvo::test {
namespace {

class MainGroups : public TMainWindowTest {
protected:
    // Each group of the list against the layout made with captions from
    // the same state: caption, image, item count, and the caption the
    // report gives each of its items.
    static void ExpectGroupsAsLayout(TMainForm* form, const std::string& what) {
        TTaskListState state = form->TaskListState();
        state.GroupCaptions = true;
        TGroupKeys keys;
        const TTaskListLayout layout = BuildTaskListLayout(*Database, *LiveSettings.Filter, state, keys);
        TGvGroups* groups = form->List->GetGroups();
        ASSERT_EQ(static_cast<int>(layout.Groups.size()), groups->GetCount()) << what;
        const TReportList report = TaskListReport(form->List, layout.Grouped);
        size_t item = 0;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvGroup* group = groups->GetGroups(g);
            const TTaskGroup& expected = layout.Groups[static_cast<size_t>(g)];
            const std::string where = what + ", group " + std::to_string(g);
            EXPECT_EQ(expected.Caption, gcl::WideToAnsi(group->GetCaption())) << where;
            EXPECT_EQ(expected.ImageIndex, group->GetImageIndex()) << where;
            ASSERT_EQ(static_cast<int>(expected.Tasks.size()), group->ItemCount()) << where;
            for (size_t i = 0; i < expected.Tasks.size(); ++i, ++item) {
                ASSERT_LT(item, report.Items.size()) << where;
                EXPECT_EQ(expected.Caption, report.Items[item].GroupCaption) << where;
            }
        }
        EXPECT_EQ(item, report.Items.size()) << what;
    }
};

TEST_F(MainGroups, CaptionsAndImagesAskedFromTheOpeningTaskMatchTheLayoutInEveryGroupingAndOrder) {
    TMainForm* form = OpenMainForm();
    // Two tasks of lists the table does not hold share one group, named
    // after the first of them; a title sort puts the other one first.
    for (const char* list : {"Garden", "Attic"}) {
        TFolderRef folder;
        folder.Name = list;
        form->AddTask(std::string("A job in the ") + list, folder, *Database);
    }
    TGvColumn* title = form->List->GetHeader()->GetColumns()->GetColumns(0);
    TMainAction* groupings[] = {form->FoldersGroupA, form->DateGroupA, form->PriorityGroupA, form->TagsGroupA};
    for (TMainAction* grouping : groupings) {
        if (!grouping->GetChecked()) grouping->Execute();
        const std::string what = gcl::WideToAnsi(grouping->GetCaption());
        ExpectGroupsAsLayout(form, what);
        // A header click orders the items in each group (ascending, then
        // descending): the groups keep their captions and images.
        form->ListColumnClick(form->List, cmbLeft, title);
        ExpectGroupsAsLayout(form, what + ", sorted up");
        form->ListColumnClick(form->List, cmbLeft, title);
        ExpectGroupsAsLayout(form, what + ", sorted down");
        form->ListColumnClick(form->List, cmbLeft, title);
    }
    form->FoldersGroupA->Execute();
    form->ListColumnClick(form->List, cmbLeft, title);
    ASSERT_GT(form->List->GetGroups()->GetCount(), 0);
    TGvGroup* unknown = form->List->GetGroups()->GetGroups(0);
    EXPECT_EQ(L"Garden", unknown->GetCaption());
    ASSERT_EQ(2, unknown->ItemCount());
    EXPECT_EQ("A job in the Attic", static_cast<TuTask*>(unknown->GetItem(0)->GetData())->Title);
    EXPECT_EQ((std::vector<std::string>{"Garden", "Home", "Work", "Errands"}), GroupCaptions(form));

    // Grouping off: one group, without a caption or an image.
    form->FoldersGroupA->Execute();
    ASSERT_TRUE(form->NoGroupA->GetChecked());
    ASSERT_EQ(1, form->List->GetGroups()->GetCount());
    EXPECT_EQ(L"", form->List->GetGroups()->GetGroups(0)->GetCaption());
    EXPECT_EQ(-1, form->List->GetGroups()->GetGroups(0)->GetImageIndex());
    ExpectGroupsAsLayout(form, "no grouping");
    CloseMainForm(form);
}

// Many tasks, some equal in title (but for case), tags or date: a header
// click orders each group's items as a sort of that group alone would,
// equal ones keeping their order, by every column and both ways, after
// edits, adds and deletes between the clicks; the chosen tasks stay
// chosen.
TEST_F(MainGroups, HeaderSortOfManyTasksOrdersEachGroupAsItsOwnSort) {
    TMainForm* form = OpenMainForm();
    const char* titles[] = {"Pay rent", "pay RENT", "Call the plumber about the sink", "call the plumber about the tap",
                            "Zebra", "alpha"};
    const char* lists[] = {"Home", "Work", "Errands"};
    const char* tags[] = {"", "mail", "bank", "mail, bank"};
    form->NoGroupA->Execute();  // each task added shows at the end, without a refresh
    for (int i = 0; i < 240; ++i) {
        TFolderRef folder;
        folder.Name = lists[(i * 7) % 3];
        const std::string due = i % 3 ? ";" + std::to_string(3 + i % 4) + "/2" + std::to_string(i % 2) + "/2026;" : "";
        const std::string tag = tags[(i * 5) % 4][0] ? std::string("[") + tags[(i * 5) % 4] + "]" : "";
        form->AddTask(due + tag + titles[(i * 11) % 6] + (i % 5 == 0 ? " " + std::to_string(i % 7) : ""), folder,
                      *Database);
    }
    form->CountItemsM->SetChecked(true);
    form->FoldersGroupA->Execute();
    ASSERT_GE(form->List->GetItems()->GetCount(), 240);
    auto groupTasks = [&] {
        std::vector<std::vector<TuTask*>> tasks;
        TGvGroups* groups = form->List->GetGroups();
        for (int g = 0; g < groups->GetCount(); ++g) {
            tasks.emplace_back();
            for (int i = 0; i < groups->GetGroups(g)->ItemCount(); ++i)
                tasks.back().push_back(static_cast<TuTask*>(groups->GetGroups(g)->GetItem(i)->GetData()));
        }
        return tasks;
    };
    auto clickAndCheck = [&](int column, const std::string& what) {
        TGvColumn* header = form->List->GetHeader()->GetColumns()->GetColumns(column);
        for (int click = 0; click < 2; ++click) {
            std::vector<std::vector<TuTask*>> expected = groupTasks();
            const std::vector<TuTask*> chosen = form->SelectedTasks();
                    form->ListColumnClick(form->List, cmbLeft, header);
                    for (auto& tasks : expected) SortItems(column + 1, form->SortAscending, tasks);
            ASSERT_EQ(expected, groupTasks()) << what << ", column " << column << ", click " << click;
            EXPECT_EQ(chosen, form->SelectedTasks()) << what;
            // Numbered 1 up through the groups in their new order.
            TGvGroups* groups = form->List->GetGroups();
            int number = 0;
            for (int g = 0; g < groups->GetCount(); ++g)
                for (int i = 0; i < groups->GetGroups(g)->ItemCount(); ++i)
                    ASSERT_EQ(++number, groups->GetGroups(g)->GetItem(i)->GetTag()) << what << ", column " << column;
        }
    };
    SelectTasks(form, {"Zebra", "alpha"});
    ASSERT_EQ(2u, form->SelectedTasks().size());
    for (int column : {0, 1, 2, 0}) clickAndCheck(column, "grouped by list");
    // Edits, an add and a delete: the list is built again, then sorted.
    Database->Tasks->GetTask(5)->Title = "Pay Rent";
    Database->Tasks->GetTask(6)->Tags = "bank";
    Database->Tasks->GetTask(7)->Due = Database->Tasks->GetTask(8)->Due;
    TFolderRef home;
    home.Name = "Home";
    form->AddTask("Zebra", home, *Database);
    auto gone = DeleteTasks(*Database, {Database->Tasks->GetTask(9)});
    form->RefreshTaskList();
    SelectTasks(form, {"Pay Rent"});
    for (int column : {0, 1, 2}) clickAndCheck(column, "after edits");
    form->TagsGroupA->Execute();
    for (int column : {1, 0, 2}) clickAndCheck(column, "grouped by tags");
    form->NoGroupA->Execute();
    for (int column : {2, 0}) clickAndCheck(column, "not grouped");
    CloseMainForm(form);
}

// Grouped by tags, the groups follow tags renamed in the side tree and
// tags toggled by dropping tasks on a tag: each group's caption names the
// tag set of every task it holds, and no two groups name the same set.
TEST_F(MainGroups, TagGroupsFollowTagsRenamedAndToggledInTheTree) {
    TMainForm* form = OpenMainForm();
    form->TagsGroupA->Execute();
    auto expectGroupsOfTagSets = [&](const std::string& what) {
        TGvGroups* groups = form->List->GetGroups();
        std::vector<std::vector<std::string>> seen;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvGroup* group = groups->GetGroups(g);
            const std::string caption = gcl::WideToAnsi(group->GetCaption());
            const std::vector<std::string> set = caption == "No Tags specified" ? std::vector<std::string>() : TagSet(caption);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), set), 0) << what << ": " << caption << " twice";
            seen.push_back(set);
            for (int i = 0; i < group->ItemCount(); ++i)
                EXPECT_EQ(TagSet(static_cast<TuTask*>(group->GetItem(i)->GetData())->Tags), set)
                    << what << ": a task under " << caption;
        }
    };
    expectGroupsOfTagSets("grouped");
    const std::vector<std::string> before = GroupCaptions(form);
    form->TagsTabClick(form);
    ASSERT_EQ((std::vector<std::string>{"All", "mail", "bank"}), TreeTexts(form));
    // New names as long as the old ones: the texts are rewritten in place.
    auto rename = [&](int node, const wchar_t* text) {
        ASSERT_TRUE(form->FoldersList->GetItems()->GetItem(node)->EditText());
        HWND edit = reinterpret_cast<HWND>(SendMessageW(form->FoldersList->GetHandle(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(nullptr, edit);
        SetWindowTextW(edit, text);
        SendMessageW(form->FoldersList->GetHandle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    };
    rename(1, L"post");
    rename(2, L"cash");
    ASSERT_EQ("work,post", std::string(TaskOf("Send the report")->Tags));
    ASSERT_EQ("cash", std::string(TaskOf("Call the bank")->Tags));
    form->RefreshTaskList();
    expectGroupsOfTagSets("renamed");
    EXPECT_NE(GroupCaptions(form), before);
    // Dropped on "cash": the tag goes from the tasks that have it and comes
    // to the others.
    SelectTasks(form, {"Water the plants", "Pay rent"});
    const gcl::TRect r = form->FoldersList->GetItems()->GetItem(2)->DisplayRect(true);
    form->FoldersList2DragDrop(form->FoldersList, form->List, r.Left + 2, (r.Top + r.Bottom) / 2);
    ASSERT_EQ("home,cash", std::string(TaskOf("Water the plants")->Tags));
    SelectTreeNode(form, "All");
    expectGroupsOfTagSets("toggled");
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
