// The task list's groups hold no captions or images of their own: the list
// asks for them when it shows or reads a group, and they must be what the
// layout of the same tasks names, in every grouping, after a header sort
// and in the printed report.
#include "MainWindowTest.h"

#include <algorithm>

#include "app/MainPrint.h"
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
