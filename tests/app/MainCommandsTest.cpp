// The main window's print, export and sticky-note commands, run through
// its actions and messages.
#include <gtest/gtest.h>

#include "AppWindowTest.h"
#include "app/Main.h"
#include "app/MainPrint.h"
#include "app/PrintForm.h"
#include "app/logic/AppMessages.h"
#include "app/logic/MainShell.h"
#include "app/logic/TaskPresentation.h"
#include "app/logic/TextExport.h"
#include "gcl/ShellNotify.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "support/ApplicationTest.h"

namespace qelvo {
namespace {

using test::ReadFile;

// The notification area: every call succeeds, nothing shows.
class TSilentTray : public gcl::INotifyIconService {
public:
    bool NotifyIcon(DWORD, NOTIFYICONDATAA&) override { return true; }
};

class MainCommands : public test::TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        Options = TOptions{};
        LiveSettings = TLiveSettings{};
    }
    void TearDown() override {
        if (Form) Form->Free();
        TAppWindowTest::TearDown();
    }
    // The main window over a start-up database of Count tasks in the list
    // "Home", each shown as an item of the task list.
    TMainForm* Open(int count) {
        TuData data;
        data.Folders->Add("Home\xF7" "0\xF7");
        for (int i = 0; i < count; ++i) test::AddTask(data, "Task " + std::to_string(i), "Home");
        gcl::ForceDirectories(App.Dir() + "Data");
        EXPECT_TRUE(data.SaveToFile(DefaultDatabaseFileName()));
        Form = TMainForm::Create(nullptr);
        Form->Show();
        if (Form->List->GetItems()->GetCount() == 0) {
            // A list not filled at start-up shows the tasks as the refresh would.
            TGvGroup* group = Form->List->GetGroups()->Add(nullptr);
            group->SetCaption(L"Home");
            for (int i = 0; i < Database->Tasks->GetCount(); ++i) {
                TuTask* task = Database->Tasks->GetTask(i);
                group->GetItems()->Add(task)->SetCaptions(0, gcl::AnsiToWide(std::string(task->Title)));
            }
        }
        Form->List->GetSelection()->SetMultiSelect(true);
        return Form;
    }
    // Puts the recording build of the companion library beside the program.
    void InstallRecordingLibrary() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string source(path);
        source.erase(source.find_last_of("\\/") + 1);
        source += "jotpaper-recording\\Jotpaper.dll";
        ASSERT_TRUE(CopyFileA(source.c_str(), App.File("Jotpaper.dll").c_str(), FALSE));
    }
    void Send(HWND from, std::uintptr_t code) {
        COPYDATASTRUCT data{};
        data.dwData = code;
        SendMessageA(Form->GetHandle(), WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data));
    }

    TSilentTray Tray;
    gcl::ServiceOverride<gcl::INotifyIconService> UseTray{gcl::NotifyIconService(), Tray};
    TMainForm* Form = nullptr;
};

TEST_F(MainCommands, ExportsRunThroughTheActions) {
    TMainForm* f = Open(2);
    test::InstallPrintTemplate();
    TReportList shown = TaskListReport(f->List, LiveSettings.GroupMode > 0);
    const std::string expected = BuildTextExport(shown);
    EXPECT_NE(std::string::npos, expected.find("Task 1"));
    Dialogs.ExpectSave(App.File("tasks.txt")).ExpectSave(App.File("tasks"));
    f->ExportToTextM->Execute();
    EXPECT_EQ(expected, ReadFile(App.File("tasks.txt")));
    f->ExportToHTMLM->Execute();
    EXPECT_NE(std::string::npos, ReadFile(App.File("tasks.html")).find("<title>To do list</title>"));
    ASSERT_EQ(2u, Shell.Requests.size());
    EXPECT_EQ("notepad", Shell.Requests[0].Target);
    EXPECT_EQ(App.File("tasks.html"), Shell.Requests[1].Target);
    EXPECT_EQ(0, f->List->GetSelection()->GetCount());
}

TEST_F(MainCommands, PrintShowsTheWindowAndUnselectsWhenItCloses) {
    gcl::TRestore<unsigned> fastWait(PrintBrowserWaitMs, 1500u);
    test::InstallPrintTemplate();
    TMainForm* f = Open(3);
    f->List->GetItems()->GetItems(1)->SetSelected(true);
    test::TPrintWindowCloser closer(f->List);
    f->PrintM->Execute();
    EXPECT_EQ(3, closer.SelectedWhileOpen());
    EXPECT_EQ(0, f->List->GetSelection()->GetCount());
    EXPECT_EQ(nullptr, FindWindowA(nullptr, msg::PrintWindowCaption));
}

TEST_F(MainCommands, StickyNotesWithTheCompanionLibrary) {
    InstallRecordingLibrary();
    TMainForm* f = Open(8);
    for (int i = 0; i < 7; ++i) f->List->GetItems()->GetItems(i)->SetSelected(true);
    f->MakeStickyNoteA->Execute();
    ASSERT_EQ(7, NoteWindows.Count());
    const std::vector<std::uintptr_t> notes = NoteWindows.Snapshot();
    char title[32] = {};
    GetWindowTextA(reinterpret_cast<HWND>(notes[3]), title, sizeof title);
    EXPECT_STREQ("Task 3", title);
    // A note closed by the user tells the window, which forgets it.
    SendMessageA(reinterpret_cast<HWND>(notes[3]), WM_CLOSE, 0, 0);
    EXPECT_EQ(6, NoteWindows.Count());
    // A note asks to show all, then to close all.
    Send(reinterpret_cast<HWND>(notes[0]), NoteShowAll);
    EXPECT_EQ(6, NoteWindows.Count());
    Send(reinterpret_cast<HWND>(notes[0]), NoteCloseAll);
    EXPECT_TRUE(NoteWindows.IsEmpty());
    for (std::uintptr_t h : notes) EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(h)));
    // The commands themselves.
    f->MakeStickyNoteA->Execute();
    EXPECT_EQ(7, NoteWindows.Count());
    f->ShowAllSA->Execute();
    f->CloseAllSA->Execute();
    EXPECT_TRUE(NoteWindows.IsEmpty());
    EXPECT_TRUE(f->MakeStickyNoteA->GetEnabled());
}

TEST_F(MainCommands, WithoutTheCompanionLibraryTheCommandsSayWhyAndTurnOff) {
    TMainForm* f = Open(2);  // the program starts without it
    f->List->GetItems()->GetItems(0)->SetSelected(true);
    Dialogs.ExpectMessage("Jotpaper.dll", IDOK);
    f->MakeStickyNoteA->Execute();
    EXPECT_TRUE(NoteWindows.IsEmpty());
    EXPECT_FALSE(f->MakeStickyNoteA->GetEnabled());
    EXPECT_FALSE(f->ShowAllSA->GetEnabled());
    EXPECT_FALSE(f->CloseAllSA->GetEnabled());
    EXPECT_EQ(gcl::AnsiToWide(msg::StickyNotesMissing), f->MakeStickyNoteA->GetHint());
    // A stray message with no note open changes nothing.
    Send(nullptr, NoteCloseAll);
    EXPECT_TRUE(NoteWindows.IsEmpty());
}

} // namespace
} // namespace qelvo
