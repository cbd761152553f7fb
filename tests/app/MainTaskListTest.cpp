// The main window's task list, quick-entry bar, filter bar, side tree and
// note panel, driven on the real window: the items and groups the list
// shows, the keys and commands on tasks, and what reaches the database
// and its file.
#include "MainWindowTest.h"

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/Tx.h"

namespace qelvo::test {
namespace {

class MainTaskList : public TMainWindowTest {
protected:
    // Presses Key in the window's focused control with Ctrl (and Shift)
    // held, through the keyboard state the key handlers read.
    static void PressKey(gcl::TWinControl* control, WPARAM key, bool ctrl = false, bool shift = false) {
        THeldKeys held(ctrl, shift);
        SendMessageA(control->GetHandle(), WM_KEYDOWN, key, 1);
        SendMessageA(control->GetHandle(), WM_KEYUP, key, 0xC0000001);
    }
    static void GroupBy(TMainForm*, TMainAction* action) {
        if (!action->GetChecked()) action->Execute();
    }
    static std::vector<std::string> TasksShown(TMainForm* form) {
        std::vector<std::string> out;
        TGvGlobalItems* items = form->List->GetItems();
        for (int i = 0; i < items->GetCount(); ++i)
            out.push_back(static_cast<TuTask*>(items->GetItems(i)->GetData())->Title);
        return out;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
};

TEST_F(MainTaskList, DueCaptionsNameTheNewDayOnceMidnightHasPassed) {
    TMainForm* form = OpenMainForm();
    EXPECT_EQ(L"Today", ItemOf(form, "Send the report")->GetCaptions(2));
    EXPECT_EQ(L"Tomorrow", ItemOf(form, "Water the plants")->GetCaptions(2));
    // The program left running into the next day: the next tick of the
    // one-second timer names the days anew.
    SetNow(Today + 1 + 1.0 / 86400);
    form->Timer1Timer(nullptr);
    EXPECT_EQ(L"Today", ItemOf(form, "Water the plants")->GetCaptions(2));
    const std::wstring yesterday = ItemOf(form, "Send the report")->GetCaptions(2);
    EXPECT_NE(L"Today", yesterday);
    EXPECT_NE(L"", yesterday);
    CloseMainForm(form);
}

TEST_F(MainTaskList, AFilterCountingFromTodayTakesTheNewDayOnceMidnightHasPassed) {
    TMainForm* form = OpenMainForm();
    form->FDate1A->Execute();    // Today
    EXPECT_EQ(std::vector<std::string>{"Send the report"}, TasksShown(form));
    SetNow(Today + 1 + 1.0 / 86400);
    form->Timer1Timer(nullptr);
    EXPECT_EQ(std::vector<std::string>{"Water the plants"}, TasksShown(form));
    EXPECT_EQ(L"Today", form->FDueDate->GetCaption());
    // A filter that names no day is left as it is: the list is not filled
    // again (its items stay the same objects).
    form->FDate0A->Execute();    // Without date set
    const std::vector<std::string> undated = TasksShown(form);
    TGvItem* first = undated.empty() ? nullptr : form->List->GetItems()->GetItems(0);
    SetNow(Today + 2 + 1.0 / 86400);
    form->Timer1Timer(nullptr);
    EXPECT_EQ(undated, TasksShown(form));
    if (first) {
        EXPECT_EQ(first, form->List->GetItems()->GetItems(0));
    }
    CloseMainForm(form);
}

TEST_F(MainTaskList, ShowsEveryTaskWithItsTextsImagesAndNumbers) {
    TMainForm* form = OpenMainForm();
    form->CountItemsM->SetChecked(true);
    GroupBy(form, form->FoldersGroupA);
    EXPECT_EQ((std::vector<std::string>{"Home", "Work", "Errands"}), GroupCaptions(form));
    EXPECT_EQ((std::vector<std::string>{"1. Water the plants", "2. Pay rent", "3. Send the report",
                                        "4. Call the bank", "5. Buy stamps"}),
              Titles(form));
    TGvItem* item = ItemOf(form, "Send the report");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(L"work, mail", item->GetCaptions(1));
    EXPECT_EQ(L"Today", item->GetCaptions(2));
    EXPECT_EQ(L"Tomorrow", ItemOf(form, "Water the plants")->GetCaptions(2));
    EXPECT_EQ(L"", ItemOf(form, "Call the bank")->GetCaptions(2));
    EXPECT_EQ(2, item->GetImageIndexes(0));
    EXPECT_EQ(3, item->GetImageIndexes(1));
    EXPECT_TRUE(ItemOf(form, "Pay rent")->GetChecked());
    EXPECT_FALSE(form->List->GetSelection()->First());

    // Numbering off, and a header click sorts by title within each group.
    form->CountItemsM->Execute();
    TGvColumn* title = form->List->GetHeader()->GetColumns()->GetColumns(0);
    form->ListColumnClick(form->List, cmbLeft, title);
    EXPECT_EQ((std::vector<std::string>{"Pay rent", "Water the plants", "Call the bank", "Send the report",
                                        "Buy stamps"}),
              Titles(form));
    form->ListColumnClick(form->List, cmbLeft, title);
    EXPECT_EQ((std::vector<std::string>{"Water the plants", "Pay rent", "Send the report", "Call the bank",
                                        "Buy stamps"}),
              Titles(form));
    CloseMainForm(form);
}

TEST_F(MainTaskList, GroupsByListDatePriorityAndTagsInTheirOrder) {
    TMainForm* form = OpenMainForm();
    GroupBy(form, form->DateGroupA);
    EXPECT_EQ((std::vector<std::string>{"No Due Date specified", "08 March 2026, Sunday", "11 March 2026, Wednesday",
                                        "12 March 2026, Thursday", "20 March 2026, Friday"}),
              GroupCaptions(form));
    GroupBy(form, form->PriorityGroupA);
    EXPECT_EQ((std::vector<std::string>{"Priority: High", "Priority: Normal", "Priority: Low"}), GroupCaptions(form));
    EXPECT_EQ(2, form->List->GetGroups()->GetGroups(0)->GetItems()->GetCount());
    GroupBy(form, form->TagsGroupA);
    EXPECT_EQ((std::vector<std::string>{"home", "bank", "work, mail", "No Tags specified"}), GroupCaptions(form));
    EXPECT_EQ(gmTags, LiveSettings.GroupMode);
    EXPECT_TRUE(form->List->GetSort()->GetAutoRegroup());
    // Clicking the checked grouping again switches grouping off and
    // remembers the mode.
    form->TagsGroupA->Execute();
    EXPECT_TRUE(form->NoGroupA->GetChecked());
    EXPECT_EQ(-gmTags, LiveSettings.GroupMode);
    EXPECT_FALSE(form->List->GetSort()->GetAutoRegroup());
    EXPECT_EQ(5, form->List->GetItems()->GetCount());
    EXPECT_EQ(1, form->List->GetGroups()->GetCount());
    CloseMainForm(form);
}

TEST_F(MainTaskList, DueDateAndPriorityFiltersAndHideDone) {
    TMainForm* form = OpenMainForm();
    // Ctrl+4: Monday 9 to Sunday 15 March.
    form->FDate4A->Execute();
    EXPECT_EQ(Sorted({"Send the report", "Water the plants"}), Sorted(TasksShown(form)));
    EXPECT_EQ(L"This Week", form->FDueDate->GetCaption());
    EXPECT_EQ(tsTrue, form->FDueDate->GetFontSettings()->GetItalic());
    form->FDate0A->Execute();
    EXPECT_EQ((std::vector<std::string>{"Call the bank"}), TasksShown(form));
    form->FOverdueA->Execute();
    EXPECT_EQ((std::vector<std::string>{"Pay rent"}), TasksShown(form));
    form->FDateAll->Execute();
    EXPECT_EQ(5u, TasksShown(form).size());
    EXPECT_EQ(tsFalse, form->FDueDate->GetFontSettings()->GetItalic());
    // Ctrl+P twice: Normal.
    form->FPriorityA->Execute();
    form->FPriorityA->Execute();
    EXPECT_EQ(L"Priority: Normal", form->FPriority->GetCaption());
    EXPECT_EQ(Sorted({"Call the bank", "Buy stamps"}), Sorted(TasksShown(form)));
    form->FPriorityA->Execute();
    form->FPriorityA->Execute();
    EXPECT_EQ(L"Priority: All", form->FPriority->GetCaption());
    form->HideDoneA->Execute();
    EXPECT_EQ(4u, TasksShown(form).size());
    EXPECT_EQ(tsTrue, form->FDone->GetFontSettings()->GetItalic());
    CloseMainForm(form);
}

TEST_F(MainTaskList, QuickEntryAddsTheTaskToTheSelectedListWithItsNewTags) {
    TMainForm* form = OpenMainForm();
    SelectTreeNode(form, "Work");
    EXPECT_EQ("Work", LiveSettings.CurrentFolder.Name);
    EXPECT_EQ(L"Work > All tags", form->FFolders->GetCaption());
    EXPECT_EQ((std::vector<std::string>{"Send the report", "Call the bank"}), TasksShown(form));
    form->TopEdit->SetFocus();
    EXPECT_EQ("", form->TopEditText());  // the placeholder went
    form->SetTopEditText("+;t2;[ work , home ] Buy milk");
    PressKey(form->TopEdit, VK_RETURN);
    EXPECT_EQ("", form->TopEditText());
    TuTask* task = TaskOf("Buy milk");
    ASSERT_NE(nullptr, task);
    EXPECT_EQ("Work", std::string(task->Folder));
    EXPECT_EQ("work,home", std::string(task->Tags));
    EXPECT_EQ(2, task->Priority);
    EXPECT_EQ(Today + 2, gcl::DateOf(task->Due));
    EXPECT_EQ(Today, gcl::DateOf(task->Created));
    EXPECT_TRUE(Database->Modified);
    EXPECT_GE(Database->Tags->IndexOf("work"), 0);
    EXPECT_GE(Database->Tags->IndexOf("home"), 0);
    EXPECT_NE(nullptr, ItemOf(form, "Buy milk"));

    // Written and read back: the task line holds the list, tags, due date
    // and creation date.
    ASSERT_TRUE(Database->SaveToFile(DatabaseFile()));
    TuData back;
    ASSERT_TRUE(back.LoadFromFile(DatabaseFile()));
    TuTask* saved = nullptr;
    for (int i = 0; i < back.Tasks->GetCount(); ++i)
        if (back.Tasks->GetTask(i)->Title == "Buy milk") saved = back.Tasks->GetTask(i);
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ("Work", std::string(saved->Folder));
    EXPECT_EQ("work,home", std::string(saved->Tags));
    EXPECT_EQ(Today + 2, gcl::DateOf(saved->Due));
    const std::string file = gcl::ReadFileBytes(DatabaseFile());
    EXPECT_NE(std::string::npos, file.find("3/13/2026"));
    CloseMainForm(form);
}

TEST_F(MainTaskList, QuickEntryTextRewritesAndFindMode) {
    TMainForm* form = OpenMainForm();
    form->SetTopEditText("-;t1;Call A;B");
    form->QCheckDate->SetChecked(false);
    form->QDateOkAExecute(form);
    // Only the first ";...;" token goes; the text keeps "Call A;B".
    EXPECT_EQ("-Call A;B", form->TopEditText());
    form->SetTopEditText("-x");
    TXtItem* high = TXtItem::Create(nullptr);
    high->SetTag(1);
    form->TxItem24Click(high);
    high->Free();
    EXPECT_EQ("+x", form->TopEditText());

    // Find mode filters by title as the user types; Enter adds nothing.
    form->tBtn1Click(form);
    EXPECT_TRUE(form->InFindMode());
    EXPECT_EQ(L"Add ", form->tBtn1->GetCaption());
    form->SetTopEditText("BANK");
    EXPECT_EQ((std::vector<std::string>{"Call the bank"}), TasksShown(form));
    const int count = Database->Tasks->GetCount();
    form->TopEdit->SetFocus();
    PressKey(form->TopEdit, VK_RETURN);
    EXPECT_EQ(count, Database->Tasks->GetCount());
    form->tBtn1Click(form);
    EXPECT_FALSE(form->InFindMode());
    EXPECT_EQ(5u, TasksShown(form).size());
    CloseMainForm(form);
}

TEST_F(MainTaskList, CtrlUpAndDownGiveTheFirstSelectedTasksNextPriorityToEverySelectedTask) {
    TMainForm* form = OpenMainForm();
    SelectTasks(form, {"Water the plants", "Buy stamps"});
    form->List->SetFocus();
    Database->Modified = false;
    PressKey(form->List, VK_UP, true);
    EXPECT_EQ(1, TaskOf("Water the plants")->Priority);
    EXPECT_EQ(1, ItemOf(form, "Water the plants")->GetImageIndexes(0));
    EXPECT_EQ(1, ItemOf(form, "Buy stamps")->GetImageIndexes(0));
    EXPECT_TRUE(Database->Modified);
    PressKey(form->List, VK_UP, true);
    PressKey(form->List, VK_UP, true);
    EXPECT_EQ(0, TaskOf("Water the plants")->Priority);
    PressKey(form->List, VK_DOWN, true);
    EXPECT_EQ(2, TaskOf("Water the plants")->Priority);
    EXPECT_EQ(2, TaskOf("Buy stamps")->Priority);
    // The priority menu sets it too.
    form->TxItem33Click(form->PriorityMenu->GetItems()->GetItem(2));  // "Low"
    EXPECT_EQ(0, TaskOf("Water the plants")->Priority);
    EXPECT_EQ(0, TaskOf("Buy stamps")->Priority);
    // Space ticks both, then, both done, unticks both; their boxes follow.
    PressKey(form->List, VK_SPACE);
    EXPECT_TRUE(TaskOf("Water the plants")->Done && TaskOf("Buy stamps")->Done);
    EXPECT_TRUE(ItemOf(form, "Water the plants")->GetChecked() && ItemOf(form, "Buy stamps")->GetChecked());
    PressKey(form->List, VK_SPACE);
    EXPECT_FALSE(TaskOf("Water the plants")->Done || TaskOf("Buy stamps")->Done);
    EXPECT_FALSE(ItemOf(form, "Water the plants")->GetChecked() || ItemOf(form, "Buy stamps")->GetChecked());
    CloseMainForm(form);
}

TEST_F(MainTaskList, TickingACheckBoxMarksTheTaskDoneAtOnce) {
    TMainForm* form = OpenMainForm();
    Database->Modified = false;
    ItemOf(form, "Buy stamps")->SetChecked(true);
    EXPECT_TRUE(TaskOf("Buy stamps")->Done);
    EXPECT_TRUE(Database->Modified);
    CloseMainForm(form);
}

TEST_F(MainTaskList, TitleEditsKeepTheNumberOutAndRefuseABlankTitle) {
    TMainForm* form = OpenMainForm();
    form->CountItemsM->SetChecked(true);
    form->RefreshTaskList();
    TGvItem* item = ItemOf(form, "Pay rent");
    std::wstring caption;
    form->ListItemGetEditCaption(form->List, item, nullptr, caption);
    EXPECT_EQ(L"Pay rent", caption);
    gcl::TVariant value(std::wstring(L"2. Buy milk. Call mom"));
    bool accept = false;
    form->ListItemEdited(form->List, item, value, accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ("2. Buy milk. Call mom", std::string(TaskOf("2. Buy milk. Call mom")->Title));
    EXPECT_EQ(L"2. 2. Buy milk. Call mom", value.ToWide());
    gcl::TVariant blank(std::wstring(L"   "));
    form->ListItemEdited(form->List, item, blank, accept);
    EXPECT_NE(nullptr, TaskOf("2. Buy milk. Call mom"));
    EXPECT_EQ(L"2. 2. Buy milk. Call mom", blank.ToWide());
    CloseMainForm(form);
}

TEST_F(MainTaskList, DeleteAsksFirstAndRemovesTheSelectedTasks) {
    TMainForm* form = OpenMainForm();
    form->List->SetFocus();
    SelectTasks(form, {"Pay rent", "Buy stamps"});
    Dialogs.ExpectMessage("delete selected item(s)", gcl::mrNo).ExpectMessage("no undo", gcl::mrYes);
    form->DelTaskA->Execute();
    EXPECT_EQ(5, Database->Tasks->GetCount());
    form->DelTaskA->Execute();
    EXPECT_EQ(3, Database->Tasks->GetCount());
    EXPECT_EQ(nullptr, TaskOf("Pay rent"));
    EXPECT_EQ(3, form->List->GetItems()->GetCount());
    EXPECT_TRUE(Database->Modified);
    // Without the question.
    Options.ConfirmDelete = false;
    SelectTasks(form, {"Call the bank"});
    form->DelTaskA->Execute();
    EXPECT_EQ(2, Database->Tasks->GetCount());
    CloseMainForm(form);
}

TEST_F(MainTaskList, MoveToListAndDraggingBetweenGroups) {
    TMainForm* form = OpenMainForm();
    SelectTasks(form, {"Buy stamps", "Call the bank"});
    form->FolderSelMenuPopup(form->FolderSelMenu->GetItems(), false);
    TBarCustomItem* menu = form->FolderSelMenu->GetItems();
    ASSERT_EQ(3, menu->GetCount());
    EXPECT_EQ("Home", menu->GetItem(0)->GetCaption());
    form->FolderSelMenuItemClick(menu->GetItem(0));
    EXPECT_EQ("Home", std::string(TaskOf("Buy stamps")->Folder));
    EXPECT_EQ("Home", std::string(TaskOf("Call the bank")->Folder));
    // One selected task: its own list is marked bold, and only that one
    // ("Work" does not mark "HomeWork").
    SelectTasks(form, {"Send the report"});
    form->FolderSelMenuPopup(menu, false);
    EXPECT_EQ(tsTrue, static_cast<TTxCustomItem*>(menu->GetItem(1))->GetFontSettings()->GetBold());
    EXPECT_NE(tsTrue, static_cast<TTxCustomItem*>(menu->GetItem(0))->GetFontSettings()->GetBold());

    // A drag between groups is accepted only while grouping is on.
    bool accept = false;
    GroupBy(form, form->DateGroupA);
    form->ListDragOver(form->List, form->List, 5, 5, gcl::dsDragMove, accept);
    EXPECT_TRUE(accept);
    form->NoGroupA->Execute();
    form->ListDragOver(form->List, form->List, 5, 5, gcl::dsDragMove, accept);
    EXPECT_FALSE(accept);
    form->ListDragOver(form->List, form->FoldersList, 5, 5, gcl::dsDragMove, accept);
    EXPECT_FALSE(accept);
    CloseMainForm(form);
}

TEST_F(MainTaskList, DroppingTasksOnATagNodeTogglesThatTag) {
    TMainForm* form = OpenMainForm();
    form->TagsTabClick(form);
    EXPECT_EQ((std::vector<std::string>{"All", "mail", "bank"}), TreeTexts(form));
    SelectTasks(form, {"Water the plants", "Pay rent", "Call the bank"});
    TUniTreeNode* bank = form->FoldersList->GetItems()->GetItem(2);
    const gcl::TRect r = bank->DisplayRect(true);
    form->FoldersList2DragDrop(form->FoldersList, form->List, r.Left + 2, (r.Top + r.Bottom) / 2);
    EXPECT_EQ("home,bank", std::string(TaskOf("Water the plants")->Tags));
    EXPECT_EQ("", std::string(TaskOf("Pay rent")->Tags));
    EXPECT_EQ("", std::string(TaskOf("Call the bank")->Tags));
    EXPECT_TRUE(Database->Modified);

    // Selecting a tag filters by it; switching tabs keeps the filter and
    // reselects only whole tags.
    SelectTreeNode(form, "bank");
    EXPECT_EQ("bank,", LiveSettings.TagFilter);
    EXPECT_EQ((std::vector<std::string>{"Water the plants"}), TasksShown(form));
    form->FoldersTabClick(form);
    form->TagsTabClick(form);
    EXPECT_EQ("bank,", LiveSettings.TagFilter);
    EXPECT_TRUE(form->FoldersList->GetItems()->GetItem(2)->GetSelected());
    CloseMainForm(form);
}

TEST_F(MainTaskList, RenamingAndDeletingAListChangeTheSavedFile) {
    TMainForm* form = OpenMainForm();
    TUniTreeNode* work = form->FoldersList->GetItems()->GetItem(2);
    ASSERT_EQ(L"Work", work->GetText());
    // In-place label edits of the tree itself.
    auto rename = [&](const wchar_t* text) {
        ASSERT_TRUE(work->EditText());
        HWND edit = reinterpret_cast<HWND>(SendMessageW(form->FoldersList->GetHandle(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(nullptr, edit);
        SetWindowTextW(edit, text);
        SendMessageW(form->FoldersList->GetHandle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    };
    rename(L"");
    EXPECT_EQ(L"Work", work->GetText());
    EXPECT_EQ("Work", std::string(TaskOf("Send the report")->Folder));
    rename(L"Office");
    EXPECT_EQ(L"Office", work->GetText());
    EXPECT_FALSE(form->TreeEditing);
    EXPECT_EQ("Office", std::string(TaskOf("Send the report")->Folder));
    EXPECT_EQ("Office", std::string(TaskOf("Call the bank")->Folder));
    EXPECT_EQ(std::string("Office") + FieldSeparator + "3" + FieldSeparator, Database->Folders->Get(1));
    // Renaming "All" is refused.
    bool allow = true;
    form->FoldersListEditing(form->FoldersList, form->FoldersList->GetItems()->GetItem(0), allow);
    EXPECT_FALSE(allow);

    SelectTreeNode(form, "Errands");
    Dialogs.ExpectMessage("delete this list and all the tasks inside", gcl::mrYes);
    form->DelAExecute(form);
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Office"}), TreeTexts(form));
    EXPECT_EQ(nullptr, TaskOf("Buy stamps"));
    ASSERT_TRUE(Database->SaveToFile(DatabaseFile()));
    const std::string file = gcl::ReadFileBytes(DatabaseFile());
    EXPECT_EQ(std::string::npos, file.find("Errands"));
    EXPECT_EQ(std::string::npos, file.find("Buy stamps"));
    EXPECT_NE(std::string::npos, file.find("Office"));
    CloseMainForm(form);
}

TEST_F(MainTaskList, TheChosenListOrTagFollowsItsRenameAndClearingChoosesAll) {
    TMainForm* form = OpenMainForm();
    auto rename = [&](const std::string& from, const wchar_t* to) {
        TUniTreeNodes* nodes = form->FoldersList->GetItems();
        for (TUniTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNextSibling()) {
            if (gcl::WideToAnsi(node->GetText()) != from) continue;
            ASSERT_TRUE(node->EditText());
            HWND edit = reinterpret_cast<HWND>(SendMessageW(form->FoldersList->GetHandle(), TVM_GETEDITCONTROL, 0, 0));
            ASSERT_NE(nullptr, edit);
            SetWindowTextW(edit, to);
            SendMessageW(form->FoldersList->GetHandle(), TVM_ENDEDITLABELNOW, FALSE, 0);
            return;
        }
        ADD_FAILURE() << "no node " << from;
    };
    SelectTreeNode(form, "Work");
    const std::vector<std::string> work = Sorted(TasksShown(form));
    ASSERT_FALSE(work.empty());
    rename("Work", L"Office");
    EXPECT_EQ("Office", LiveSettings.CurrentFolder.Name);
    EXPECT_EQ(work, Sorted(TasksShown(form)));

    form->TagsTabClick(form);
    SelectTreeNode(form, "bank");
    const std::vector<std::string> bank = Sorted(TasksShown(form));
    ASSERT_FALSE(bank.empty());
    rename("bank", L"money");
    EXPECT_EQ("money,", LiveSettings.TagFilter);
    EXPECT_EQ(bank, Sorted(TasksShown(form)));

    form->FoldersTabClick(form);
    EXPECT_EQ("Office", LiveSettings.CurrentFolder.Name);
    Dialogs.ExpectMessage("Current database will be erased", IDNO);
    form->CreateNewDbM->Execute();
    EXPECT_EQ((std::vector<std::string>{"All"}), TreeTexts(form));
    EXPECT_EQ("", LiveSettings.CurrentFolder.Name);
    EXPECT_EQ("", LiveSettings.TagFilter);
    EXPECT_TRUE(form->FoldersList->GetItems()->GetItem(0)->GetSelected());
    CloseMainForm(form);
}

TEST_F(MainTaskList, MovingListsUpAndDown) {
    TMainForm* form = OpenMainForm();
    SelectTreeNode(form, "Home");
    form->MoveUpA->Execute();  // the first list stays
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Work", "Errands"}), TreeTexts(form));
    form->MoveDownA->Execute();
    EXPECT_EQ((std::vector<std::string>{"All", "Work", "Home", "Errands"}), TreeTexts(form));
    EXPECT_EQ(std::string("Work") + FieldSeparator + "3" + FieldSeparator, Database->Folders->Get(0));
    SelectTreeNode(form, "Errands");
    form->MoveDownA->Execute();  // the last list stays
    EXPECT_EQ((std::vector<std::string>{"All", "Work", "Home", "Errands"}), TreeTexts(form));
    CloseMainForm(form);
}

TEST_F(MainTaskList, TheNoteIsStoredWithItsTaskOnLeavingRefreshingAndCommitting) {
    TMainForm* form = OpenMainForm();
    SelectTasks(form, {"Water the plants"});
    EXPECT_EQ("No note - Water the plants", gcl::TControlSeam::GetText(form->NoteEdit));
    form->RichEdit1->SetFocus();
    form->RichEdit1->SetText("Twice a week");
    form->RichEdit1->SetModified(true);
    Database->Modified = false;
    form->List->SetFocus();  // the editor loses the focus
    EXPECT_EQ("Twice a week", std::string(TaskOf("Water the plants")->Notes));
    EXPECT_TRUE(Database->Modified);

    // Typing, then a refresh by a shortcut: the note reaches its own task.
    SelectTasks(form, {"Pay rent"});
    EXPECT_EQ("", form->RichEdit1->GetText());
    form->RichEdit1->SetText("Landlord");
    form->RichEdit1->SetModified(true);
    form->FDate3A->Execute();
    EXPECT_EQ("Landlord", std::string(TaskOf("Pay rent")->Notes));
    EXPECT_EQ("Twice a week", std::string(TaskOf("Water the plants")->Notes));

    // Typing, then the exit path's commit.
    form->FDateAll->Execute();
    SelectTasks(form, {"Buy stamps"});
    form->RichEdit1->SetText("At the post office");
    form->RichEdit1->SetModified(true);
    form->CommitNote();
    EXPECT_EQ("At the post office", std::string(TaskOf("Buy stamps")->Notes));
    // Esc drops the typing.
    form->RichEdit1->SetText("scratch");
    form->RichEdit1->SetModified(true);
    uint16_t esc = VK_ESCAPE;
    form->RichEdit1KeyDown(form->RichEdit1, esc, gcl::TShiftState());
    EXPECT_EQ("At the post office", form->RichEdit1->GetText());
    EXPECT_EQ("At the post office", std::string(TaskOf("Buy stamps")->Notes));
    CloseMainForm(form);
}

TEST_F(MainTaskList, PicturesInTheTristanAndDefaultThemes) {
    TMainForm* form = OpenMainForm();
    form->SetBounds(0, 0, 1000, 680);
    const char* lines[] = {
        "+;t;[work] Prepare the quarterly review", "Book the dentist", "-[home] Sort the photos",
        "+;t1;[work,mail] Answer the auditors", "[garden] Cut the hedge", ";t3;[home] Fix the tap",
        "[work] Plan the team offsite", "-Read the novel from Anna", "+;t2;[bank] Transfer the savings",
        "[mail] Post the birthday card", ";t5;[work] Update the roadmap", "Renew the library books",
        "[garden] Plant the tulips", "+[work] Interview the new designer", ";t1;Pick up the dry cleaning",
        "-[home] Clean the garage", "[work,mail] Send the invoices", ";t4;[home] Paint the fence",
        "Call grandma", "+;t;[bank] Pay the insurance", "[work] Review pull requests",
        "-;t6;Buy a new umbrella", "[garden] Water the roses", "Plan the summer holiday",
        "[home] Replace the light bulbs"};
    const char* lists[] = {"Home", "Work", "Errands"};
    int n = 0;
    for (const char* line : lines) {
        TFolderRef folder;
        folder.Name = lists[n++ % 3];
        form->AddTask(line, folder, *Database);
    }
    TaskOf("Pay the insurance")->Done = true;
    TaskOf("Fix the tap")->Notes = "The kitchen tap drips.\r\nWasher size 1/2 inch, from the hardware shop.";
    GroupBy(form, form->FoldersGroupA);
    form->CountItemsM->SetChecked(true);
    form->RefreshTaskList();
    form->List->SetFocus();
    SelectTasks(form, {"Fix the tap"});
    EXPECT_EQ("Note: Fix the tap", gcl::WideToAnsi(form->NoteEdit->GetCaption()));
    EXPECT_TRUE(form->FoldersTab->GetChecked());
    TxNexus->SwitchTheme("Tristan");
    PumpMessages(300);
    EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), "MainWindowTristan.bmp"), 20);
    TxNexus->SwitchTheme("Default");
    PumpMessages(300);
    EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), "MainWindowDefault.bmp"), 20);
    CloseMainForm(form);
}

TEST_F(MainTaskList, CtrlSWritesTheNewTaskAndTheNoteTypedIsSavedAtExit) {
    TMainForm* form = OpenMainForm();
    SelectTreeNode(form, "Work");
    form->SetTopEditText("+;t2;[ work , home ] Buy milk");
    form->AddItemA->Execute();
    form->SaveM->Execute();
    TuData back;
    ASSERT_TRUE(back.LoadFromFile(DatabaseFile()));
    EXPECT_GE(back.Tags->IndexOf("work"), 0);
    EXPECT_GE(back.Tags->IndexOf("home"), 0);
    EXPECT_NE(std::string::npos, form->GetCaption().find("   [Last Save at 09:00]"));

    // Typing a note, then closing: the exit save keeps it with its task.
    form->List->SetFocus();
    SelectTasks(form, {"Buy milk"});
    form->RichEdit1->SetFocus();
    form->RichEdit1->SetText("Semi-skimmed");
    form->RichEdit1->SetModified(true);
    SaveOnExit = true;
    form->Free();
    TuData atExit;
    ASSERT_TRUE(atExit.LoadFromFile(DatabaseFile()));
    bool found = false;
    for (int i = 0; i < atExit.Tasks->GetCount(); ++i)
        if (atExit.Tasks->GetTask(i)->Title == "Buy milk") {
            found = true;
            EXPECT_EQ("Semi-skimmed", gcl::TrimRight(std::string(atExit.Tasks->GetTask(i)->Notes)));
        }
    EXPECT_TRUE(found);
}

} // namespace
} // namespace qelvo::test
