// The main window opened on the sample database, and readers of its list
// and tree.
#include "MainWindowTest.h"

#include "app/logic/LayoutSettings.h"
#include "app/logic/MainShell.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"
#include "support/WindowTest.h"

namespace qelvo::test {

TMainWindowTest::TMainWindowTest() : FClock(Today + 9.0 / 24), FUseClock(gcl::Clock, FClock) {}

std::string TMainWindowTest::DatabaseFile() const { return DefaultDatabaseFileName(); }

TMainForm* TMainWindowTest::OpenMainForm() {
    TuData data;
    const std::string sep(1, FieldSeparator);
    for (const char* list : {"Home", "Work", "Errands"}) data.Folders->Add(std::string(list) + sep + "3" + sep);
    for (const char* tag : {"mail", "bank"}) data.Tags->Add(tag);
    AddTask(data, "Water the plants", "Home", "home", Today + 1, 0);
    AddTask(data, "Pay rent", "Home", "bank", Today - 3, 2, true);
    AddTask(data, "Send the report", "Work", "work,mail", Today, 2);
    AddTask(data, "Call the bank", "Work", "bank", 0, 1);
    AddTask(data, "Buy stamps", "Errands", "", Today + 9, 1);
    EXPECT_TRUE(data.SaveToFile(DatabaseFile()));
    // Every window starts from the same view state and options.
    LiveSettings.CurrentFolder = TFolderRef();
    LiveSettings.TagFilter.clear();
    LiveSettings.DateFilter = TFieldFilter();
    LiveSettings.GroupMode = gmList;
    Options = DefaultOptions();
    TMainForm* form = TMainForm::Create(nullptr);
    if (!Database) {
        // A window whose start-up opens no database: the test opens it.
        FOwnDatabase = std::make_unique<TuData>();
        EXPECT_TRUE(FOwnDatabase->LoadFromFile(DatabaseFile()));
        FOwnDatabase->FileName = DatabaseFile();
        Database = FOwnDatabase.get();
        form->RebuildSideTree();
        form->RefreshTaskList();
    }
    form->Show();
    MovePointerOutside(form->GetHandle());
    PumpMessages(50);
    return form;
}

void TMainWindowTest::TearDown() {
    if (FOwnDatabase && Database == FOwnDatabase.get()) Database = nullptr;
    FOwnDatabase.reset();
    TAppWindowTest::TearDown();
}

void TMainWindowTest::CloseMainForm(TMainForm* form) {
    SaveOnExit = false;
    form->Free();
}

std::vector<std::string> TMainWindowTest::GroupCaptions(TMainForm* form) {
    std::vector<std::string> out;
    TGvGroups* groups = form->List->GetGroups();
    for (int g = 0; g < groups->GetCount(); ++g) out.push_back(gcl::WideToAnsi(groups->GetGroups(g)->GetCaption()));
    return out;
}

std::vector<std::string> TMainWindowTest::Titles(TMainForm* form) {
    std::vector<std::string> out;
    TGvGlobalItems* items = form->List->GetItems();
    for (int i = 0; i < items->GetCount(); ++i) out.push_back(gcl::WideToAnsi(items->GetItems(i)->GetCaption()));
    return out;
}

TGvItem* TMainWindowTest::ItemOf(TMainForm* form, const std::string& title) {
    TGvGlobalItems* items = form->List->GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
        auto* task = static_cast<TuTask*>(items->GetItems(i)->GetData());
        if (task && task->Title == title) return items->GetItems(i);
    }
    return nullptr;
}

TuTask* TMainWindowTest::TaskOf(const std::string& title) {
    for (int i = 0; Database && i < Database->Tasks->GetCount(); ++i)
        if (Database->Tasks->GetTask(i)->Title == title) return Database->Tasks->GetTask(i);
    return nullptr;
}

void TMainWindowTest::SelectTasks(TMainForm* form, const std::vector<std::string>& titles) {
    form->List->GetSelection()->ClearAll();
    for (const std::string& title : titles)
        if (TGvItem* item = ItemOf(form, title)) item->SetSelected(true);
}

std::vector<std::string> TMainWindowTest::TreeTexts(TMainForm* form) {
    std::vector<std::string> out;
    for (TUniTreeNode* node = form->FoldersList->GetItems()->GetFirstNode(); node; node = node->GetNextSibling())
        out.push_back(gcl::WideToAnsi(node->GetText()));
    return out;
}

void TMainWindowTest::SelectTreeNode(TMainForm* form, const std::string& text) {
    for (TUniTreeNode* node = form->FoldersList->GetItems()->GetFirstNode(); node; node = node->GetNextSibling())
        if (gcl::WideToAnsi(node->GetText()) == text) {
            form->FoldersList->ClearSelection();
            form->FoldersList->Select(node);
            return;
        }
    ADD_FAILURE() << "no tree node " << text;
}

} // namespace qelvo::test
