// The main window as the program runs it: start-up in an empty folder,
// the exit that writes the settings and the database, saving with its
// caption, a save that fails, auto-save at the minute, a start-up file that
// could not be read, clearing the database, the hot key with the tray (and
// with a window made again), the theme applied once and the tray icon
// raised after the first paint, and the layout read back. Commands go in
// as key messages to the window.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "AppWindowTest.h"
#include "app/AboutForm.h"
#include "app/Main.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/ShellNotify.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"
#include "theming/Tx.h"

using namespace qelvo;
using namespace qelvo::test;

namespace qelvo::test {

// The main window with the application's end recorded instead of done.
class TTestMainForm : public TMainForm {
    GCL_CLASS(TTestMainForm, TMainForm)
public:
    int Terminations = 0;

protected:
    explicit TTestMainForm(gcl::TComponent* AOwner) : TMainForm(AOwner) {}
    void TerminateApplication() override { ++Terminations; }
};
GCL_IMPLEMENT_CLASS(TTestMainForm)

} // namespace qelvo::test

namespace {

BOOL CALLBACK FindUnpaintedChild(HWND Child, LPARAM Found) {
    if (!IsWindowVisible(Child) || !GetUpdateRect(Child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(Found) = true;
    return FALSE;
}

// True when Window or one of its shown children has a part to paint.
bool PaintPending(HWND Window) {
    if (GetUpdateRect(Window, nullptr, FALSE)) return true;
    bool pending = false;
    EnumChildWindows(Window, &FindUnpaintedChild, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// The notification area: every call succeeds. With Window set, it notes
// whether that window still had something to paint when the icon went up.
// The start adds the icon from a worker thread.
class TQuietTray : public gcl::INotifyIconService {
public:
    bool NotifyIcon(DWORD message, NOTIFYICONDATAA&) override {
        if (message == NIM_ADD) {
            if (Window) PaintPendingAtAdd = PaintPending(Window);
            ++Added;
        }
        return true;
    }
    std::atomic<int> Added{0};
    HWND Window = nullptr;
    std::atomic<bool> PaintPendingAtAdd{false};
};

// Counts the theme switches it hears (the last of a switch's three steps).
class TThemeSwitches : public gcl::TObject {
public:
    TThemeSwitches() { AddThemeListener(this); }
    ~TThemeSwitches() override { RemoveThemeListener(this); }
    void Dispatch(gcl::TMessage& Message) override {
        if (Message.Msg == WM_SKIN_THEMECHANGE && Message.WParam == 3) ++Count;
    }
    int Count = 0;
};

class TFixedClock : public gcl::IClock {
public:
    double Now() override { return Value; }
    double Value = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 30, 0);
};

class MainWindow : public TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        Options = TOptions{};
        LiveSettings = TLiveSettings{};
    }
    void TearDown() override {
        Close();
        TAppWindowTest::TearDown();
    }

    // The window as the program makes it: the application's main form.
    TTestMainForm* Start() {
        gcl::Application->CreateForm(Form);
        Form->Show();
        PumpApplication(50);
        return Form;
    }
    // The window goes (its destroy step saves).
    void Close() {
        if (!Form) return;
        Form->Free();
        Form = nullptr;
        PumpApplication(20);
    }
    std::string DataFile() const { return App.Dir() + "Data\\ActualData.kpx"; }
    // A database of two tasks in DataFile.
    void WriteDatabase(const std::string& path) {
        gcl::ForceDirectories(gcl::ExtractFilePath(path));
        TuData data;
        data.Folders->Add("Work\xF7" "0\xF7");
        AddTask(data, "Call the printer shop", "Work");
        AddTask(data, "Buy milk", "Work", "home");
        ASSERT_TRUE(data.SaveToFile(path));
    }
    void WriteOptions(const std::string& key, const std::string& value) {
        gcl::TIniFile(SettingsFileName()).WriteString("Options", key, value);
    }

    TQuietTray Tray;
    gcl::ServiceOverride<gcl::INotifyIconService> UseTray{gcl::NotifyIconService(), Tray};
    TFixedClock ClockNow;
    gcl::ServiceOverride<gcl::IClock> UseClock{gcl::Clock, ClockNow};
    TTestMainForm* Form = nullptr;
};

TEST_F(MainWindow, FirstStartInAnEmptyFolderThenExitWritesTheFirstRunFiles) {
    Dialogs.ExpectMessage("The file: " + DataFile() + " does not exists!", IDOK);
    Start();
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1");
    EXPECT_EQ(CurrentThemeName(), "Tristan");
    EXPECT_EQ(Form->GetThemeIndex(), 17);
    EXPECT_EQ(Database->FileName, DataFile());
    EXPECT_NE(Form->GetHotKeyId(), 0);
    EXPECT_TRUE(Form->tray->GetActive());
    EXPECT_TRUE(PumpApplication(2000, [&] { return Tray.Added > 0; }));
    EXPECT_EQ(Tray.Added, 1);
    EXPECT_TRUE(Form->tray->GetIconShown());
    EXPECT_TRUE(Form->NoGroupBtn != nullptr);
    EXPECT_TRUE(Form->CountItemsM->GetChecked());
    EXPECT_TRUE(Form->ShowGroupByPanM->GetChecked() && Form->GroupByPan->GetVisible());
    EXPECT_TRUE(Form->ShowFiltersPanM->GetChecked() && Form->FiltersPanel->GetVisible());
    EXPECT_EQ(LiveSettings.GroupMode, 1);
    // The side tree is that of an empty database: "All", chosen.
    ASSERT_EQ(Form->FoldersList->GetItems()->GetCount(), 1);
    EXPECT_EQ(Form->FoldersList->GetItems()->GetItem(0)->GetText(), L"All");
    EXPECT_TRUE(Form->FoldersList->GetItems()->GetItem(0)->GetSelected());
    // 804 x 500, centred on the work area.
    const gcl::TRect work = gcl::Screen->GetWorkAreaRect();
    EXPECT_EQ(Form->GetWidth(), 804);
    EXPECT_EQ(Form->GetHeight(), 500);
    const int left = work.Left + (work.Right - work.Left - 804) / 2;
    const int top = work.Top + (work.Bottom - work.Top - 500) / 2;
    EXPECT_EQ(Form->GetLeft(), left);
    EXPECT_EQ(Form->GetTop(), top);

    PressShortcut(Form->GetHandle(), 'Q', true);
    EXPECT_EQ(Form->Terminations, 1);
    Close();
    std::string expected = gcl::ReadFileBytes(TestDataDir() + "app\\first-run-settings.ini");
    expected = gcl::StringReplace(expected, "Left=110", "Left=" + std::to_string(left), {gcl::TReplaceFlag::rfReplaceAll});
    expected = gcl::StringReplace(expected, "Top=134", "Top=" + std::to_string(top), {gcl::TReplaceFlag::rfReplaceAll});
    EXPECT_EQ(gcl::ReadFileBytes(SettingsFileName()), expected);
    EXPECT_EQ(gcl::ReadFileBytes(ColumnsFileName()), gcl::ReadFileBytes(TestDataDir() + "app\\first-run-settings.inicol"));
    EXPECT_TRUE(gcl::FileExists(DataFile()));
    TuData saved;
    EXPECT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(saved.Tasks->GetCount(), 0);
}

TEST_F(MainWindow, SaveShowsTheTimeAndAFailedSaveIsReportedNotShownAsSaved) {
    WriteDatabase(DataFile());
    Start();
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx");
    ASSERT_EQ(Database->Tasks->GetCount(), 2);
    Database->Modified = true;
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx   [Last Save at 10:20]");
    EXPECT_FALSE(Database->Modified);

    // The file is made read-only: the save fails, says so, and keeps the
    // changes and the caption.
    ClockNow.Value += 5.0 / 1440;
    Database->Tasks->GetTask(0)->Title = "Changed";
    Database->Modified = true;
    ASSERT_TRUE(SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_READONLY));
    Dialogs.ExpectMessage(msg::SaveFailedHead, IDOK);
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_TRUE(Database->Modified);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx   [Last Save at 10:20]");
    ASSERT_EQ(Dialogs.Shown().size(), 1u);
    EXPECT_EQ(Dialogs.Shown()[0].Caption, "Qelvo");
    // The exit save fails too and is reported.
    Dialogs.ExpectMessage(msg::SaveFailedHead, IDOK);
    Close();
    SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Call the printer shop");
}

TEST_F(MainWindow, AutoSaveCountsDownAndSavesAtTheMinute) {
    WriteDatabase(DataFile());
    WriteOptions("AutoSave", "1");
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Start();
    EXPECT_TRUE(Form->SetAsDefaultM->GetChecked());
    const double minute = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 21, 0, 0);
    auto tickAt = [&](int seconds) {
        ClockNow.Value = minute - 60.0 / 86400 + seconds / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
    };
    tickAt(30);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx");
    tickAt(44);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx");
    Database->Modified = true;
    Database->Tasks->GetTask(1)->Title = "Buy oat milk";
    tickAt(45);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx  [Saving Database in 15 seconds ]");
    tickAt(59);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx  [Saving Database in 1 seconds ]");
    EXPECT_TRUE(Database->Modified);
    tickAt(60);
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx   [Last Save at 10:21]");
    EXPECT_FALSE(Database->Modified);
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(std::string(saved.Tasks->GetTask(1)->Title), "Buy oat milk");
}

// While a message box of a failed auto-save is up, its modal loop keeps
// delivering the one-second timer: the minutes go on, and the next
// auto-save must not open a second box over the first (a user away for
// an hour would come back to a stack of them).
class TTickingDialogs : public gcl::IDialogService {
public:
    TTickingDialogs(gcl::IDialogService& Answers, std::function<void()> Tick) : FAnswers(Answers), FTick(Tick) {}
    int Execute(gcl::TDialogRequest& request) override {
        ++Shown;
        if (!FTicking) {
            gcl::TFlagScope ticking(FTicking);
            FTick();
        }
        return FAnswers.Execute(request);
    }
    int Shown = 0;

private:
    bool FTicking = false;
    gcl::IDialogService& FAnswers;
    std::function<void()> FTick;
};

TEST_F(MainWindow, AFailedAutoSaveShowsOneMessageWhileTheTimerGoesOn) {
    WriteDatabase(DataFile());
    WriteOptions("AutoSave", "1");
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Start();
    ASSERT_TRUE(SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_READONLY));
    Database->Tasks->GetTask(0)->Title = "Changed";
    Database->Modified = true;
    const double start = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 0, 0);
    int seconds = 0;
    // Ten minutes of ticks go by under the box.
    auto minutesGoBy = [&] {
        for (int i = 0; i < 600; ++i) {
            ClockNow.Value = start + ++seconds / 86400.0;
            Form->Timer1->OnTimer(Form->Timer1);
        }
    };
    TTickingDialogs ticking(Dialogs, minutesGoBy);
    gcl::ServiceOverride<gcl::IDialogService> use(gcl::DialogService(), ticking);
    Dialogs.ExpectMessage(msg::SaveFailedHead, IDOK);
    for (int i = 0; i < 61 && ticking.Shown == 0; ++i) {
        ClockNow.Value = start + ++seconds / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
    }
    EXPECT_EQ(ticking.Shown, 1);
    EXPECT_TRUE(Database->Modified);
    SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    SaveOnExit = false;
}

// Another program holds the database open, sharing it with no one: the
// auto-save says it cannot be read rather than skipping it in silence, and
// the end of the session waits for changes it cannot write, then saves
// them once the file is let go.
TEST_F(MainWindow, ADatabaseHeldOpenElsewhereAtAutoSaveAndAtTheSessionsEnd) {
    WriteDatabase(DataFile());
    WriteOptions("AutoSave", "1");
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Start();
    Database->Tasks->GetTask(0)->Title = "Changed";
    Database->Modified = true;
    HANDLE held = CreateFileA(DataFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Dialogs.ExpectMessage(msg::SaveFileInUse + 2, IDOK);
    for (int s = 40; s <= 61; ++s) {
        ClockNow.Value = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 0, 0) + s / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
    }
    EXPECT_EQ(Dialogs.Shown().size(), 1u);
    EXPECT_TRUE(Database->Modified);

    // The session asks: no box while it waits, and no; the window says why
    // once the question is done.
    EXPECT_EQ(Form->Perform(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
    EXPECT_EQ(Dialogs.Shown().size(), 1u);
    Dialogs.ExpectMessage(msg::SaveFileInUse + 2, IDOK);
    EXPECT_TRUE(PumpApplication(1000, [&] { return Dialogs.Shown().size() == 2; }));
    Form->Perform(WM_ENDSESSION, 0, ENDSESSION_LOGOFF);
    EXPECT_FALSE(gcl::FileExists(SettingsFileName() + "col")) << "the layout was written for a session that goes on";
    CloseHandle(held);
    // Let go: the session may end, and its end writes the layout.
    EXPECT_EQ(Form->Perform(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
    EXPECT_FALSE(Database->Modified);
    Form->Perform(WM_ENDSESSION, 1, ENDSESSION_LOGOFF);
    EXPECT_TRUE(gcl::FileExists(SettingsFileName() + "col"));
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Changed");
    EXPECT_EQ(Dialogs.Shown().size(), 2u);
}

TEST_F(MainWindow, AutoSaveLeavesADatabaseOtherThanTheDefaultAlone) {
    const std::string other = App.Dir() + "Other.kpx";
    WriteDatabase(other);
    WriteDatabase(DataFile());
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Start();
    Dialogs.ExpectOpen(other);
    Form->OpenM->Execute();
    // No countdown, no save: the caption says why.
    const std::string leftAlone = "Qelvo v1.1 - Other.kpx  [Not auto-saved: not the default database]";
    EXPECT_EQ(Form->GetCaption(), leftAlone);
    EXPECT_FALSE(Form->SetAsDefaultM->GetChecked());
    Database->Modified = true;
    for (int s = 40; s <= 61; ++s) {
        ClockNow.Value = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 0, 0) + s / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
        EXPECT_EQ(Form->GetCaption(), leftAlone);
    }
    EXPECT_TRUE(Database->Modified);
    SaveOnExit = false;
}

TEST_F(MainWindow, ADatabaseThatCouldNotBeReadIsNeverOverwrittenUnasked) {
    gcl::ForceDirectories(App.Dir() + "Data");
    const std::string bytes("\x00\x01\xFF\xF7\xF8junk", 9);
    ASSERT_TRUE(gcl::WriteFileAtomic(DataFile(), bytes.data(), bytes.size()));
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Dialogs.ExpectMessage("The database: " + DataFile() + " cannot be loaded. Possible corrupted database.", IDOK);
    Start();
    // Auto-save skips it, without a countdown; the caption says why.
    const std::string unread = std::string("Qelvo v1.1") + msg::UnreadNote;
    EXPECT_EQ(Form->GetCaption(), unread);
    Database->Modified = true;
    for (int s = 40; s <= 61; ++s) {
        ClockNow.Value = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 0, 0) + s / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
    }
    EXPECT_EQ(Form->GetCaption(), unread);
    // Ctrl+S asks; Cancel writes nothing, No offers Save as.
    Dialogs.ExpectMessage(" could not be loaded at start-up.", IDCANCEL);
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), bytes);
    Dialogs.ExpectMessage(" could not be loaded at start-up.", IDNO).ExpectCancel(gcl::dkSave);
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), bytes);
    // Exit and save asks too; without an answer that keeps the changes
    // the program stays.
    Dialogs.ExpectMessage(" could not be loaded at start-up.", IDCANCEL);
    PressShortcut(Form->GetHandle(), 'Q', true);
    Dialogs.ExpectMessage(" could not be loaded at start-up.", IDNO).ExpectCancel(gcl::dkSave);
    PressShortcut(Form->GetHandle(), 'Q', true);
    EXPECT_EQ(Form->Terminations, 0);
    EXPECT_TRUE(Database->Modified);
    // Save as keeps them elsewhere, and the exit goes on; the file stays.
    const std::string copy = App.Dir() + "Rescued.kpx";
    Dialogs.ExpectMessage(" could not be loaded at start-up.", IDNO).ExpectSave(copy);
    PressShortcut(Form->GetHandle(), 'Q', true);
    EXPECT_EQ(Form->Terminations, 1);
    Close();
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), bytes);
    EXPECT_TRUE(gcl::FileExists(copy));
}

TEST_F(MainWindow, AnExitWhoseSaveFailsStaysUnlessTheChangesGoElsewhere) {
    WriteDatabase(DataFile());
    Start();
    Database->Tasks->GetTask(0)->Title = "Changed";
    Database->Modified = true;
    ASSERT_TRUE(SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_READONLY));
    // Exit and save: the failure offers Save as; No stays.
    Dialogs.ExpectMessage(msg::ExitSaveFailedTail, IDNO);
    PressShortcut(Form->GetHandle(), 'Q', true);
    EXPECT_EQ(Form->Terminations, 0);
    EXPECT_TRUE(Database->Modified);
    // Closing the window, Yes to the question: the same, and the window stays.
    gcl::TCloseAction action = gcl::caHide;
    Dialogs.ExpectMessage(msg::SaveBeforeExitQuestion, IDYES).ExpectMessage(msg::ExitSaveFailedTail, IDYES)
        .ExpectCancel(gcl::dkSave);
    Form->FormClose(Form, action);
    EXPECT_EQ(action, gcl::caNone);
    // Yes and a copy: the exit goes on, and the window's end writes nothing.
    const std::string copy = App.Dir() + "Copy.kpx";
    Dialogs.ExpectMessage(msg::ExitSaveFailedTail, IDYES).ExpectSave(copy);
    PressShortcut(Form->GetHandle(), 'Q', true);
    EXPECT_EQ(Form->Terminations, 1);
    EXPECT_FALSE(SaveOnExit);
    Close();
    EXPECT_TRUE(Dialogs.Done());
    SetFileAttributesA(DataFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(copy));
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Changed");
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Call the printer shop");
}

TEST_F(MainWindow, ASaveNeverReplacesUnaskedAFileAnotherWriterChanged) {
    WriteDatabase(DataFile());
    WriteOptions("AutoSave Interval", "1");
    WriteOptions("Default Database Tasks", DataFile());
    Start();
    // Another copy of the program saves the file meanwhile.
    {
        TuData other;
        ASSERT_TRUE(other.LoadFromFile(DataFile()));
        AddTask(other, "From the other copy", "Work");
        ASSERT_TRUE(other.SaveToFile(DataFile()));
    }
    const std::string theirs = gcl::ReadFileBytes(DataFile());
    Database->Tasks->GetTask(0)->Title = "Mine";
    Database->Modified = true;
    // Auto-save leaves it alone.
    for (int s = 40; s <= 61; ++s) {
        ClockNow.Value = gcl::EncodeDate(2026, 3, 11) + gcl::EncodeTime(10, 20, 0, 0) + s / 86400.0;
        Form->Timer1->OnTimer(Form->Timer1);
    }
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), theirs);
    // The caption says it was left, and why, until a save decides.
    EXPECT_EQ(Form->GetCaption(), std::string("Qelvo v1.1 - ActualData.kpx") + msg::ChangedElsewhereNote);
    // Ctrl+S asks: Cancel writes nothing; Yes replaces it, and the next
    // save writes without a question.
    Dialogs.ExpectMessage(msg::ChangedOnDiskTail, IDCANCEL);
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), theirs);
    EXPECT_TRUE(Database->Modified);
    EXPECT_EQ(Form->GetCaption(), std::string("Qelvo v1.1 - ActualData.kpx") + msg::ChangedElsewhereNote);
    Dialogs.ExpectMessage(msg::ChangedOnDiskTail, IDYES);
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_FALSE(Database->Modified);
    EXPECT_EQ(Form->GetCaption().find(msg::ChangedElsewhereNote), std::string::npos) << Form->GetCaption();
    Database->Modified = true;
    PressShortcut(Form->GetHandle(), 'S', true);
    EXPECT_TRUE(Dialogs.Done());
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(saved.Tasks->GetCount(), 2);
    // Changed again, unchanged here: closing writes nothing over it.
    {
        TuData other;
        ASSERT_TRUE(other.LoadFromFile(DataFile()));
        AddTask(other, "Later from the other copy", "Work");
        ASSERT_TRUE(other.SaveToFile(DataFile()));
    }
    const std::string later = gcl::ReadFileBytes(DataFile());
    gcl::TCloseAction action = gcl::caHide;
    Form->FormClose(Form, action);
    EXPECT_EQ(action, gcl::caHide);
    Close();
    EXPECT_EQ(gcl::ReadFileBytes(DataFile()), later);
}

TEST_F(MainWindow, AFailedOpenKeepsTheOpenDatabase) {
    WriteDatabase(DataFile());
    const std::string bad = App.Dir() + "Bad.kpx";
    ASSERT_TRUE(gcl::WriteFileAtomic(bad, "", 0));
    Start();
    Dialogs.ExpectOpen(bad).ExpectMessage("cannot be loaded", IDOK);
    Form->OpenM->Execute();
    EXPECT_EQ(Database->Tasks->GetCount(), 2);
    EXPECT_EQ(Database->FileName, DataFile());
    EXPECT_EQ(Form->GetCaption(), "Qelvo v1.1 - ActualData.kpx");
}

TEST_F(MainWindow, ClearDatabaseStopsWhenTheCopyIsCancelledAndSaveAsWritesACopy) {
    WriteDatabase(DataFile());
    Start();
    Dialogs.ExpectMessage(msg::ClearDatabaseQuestion, IDYES).ExpectCancel(gcl::dkSave);
    Form->CreateNewDbM->Execute();
    EXPECT_EQ(Database->Tasks->GetCount(), 2);
    EXPECT_FALSE(Database->Modified);

    // The open file itself, however spelt, cannot keep the copy: the
    // clearing would empty it at the next save.
    Dialogs.ExpectMessage(msg::ClearDatabaseQuestion, IDYES)
        .ExpectSave(App.Dir() + "data\\..\\Data\\actualdata.KPX")
        .ExpectMessage("is the database being cleared", IDOK);
    Form->CreateNewDbM->Execute();
    EXPECT_EQ(Database->Tasks->GetCount(), 2);
    EXPECT_FALSE(Database->Modified);

    const std::string copy = App.Dir() + "Copy.kpx";
    Dialogs.ExpectMessage(msg::ClearDatabaseQuestion, IDYES).ExpectSave(copy);
    Form->CreateNewDbM->Execute();
    EXPECT_EQ(Database->Tasks->GetCount(), 0);
    EXPECT_TRUE(Database->Modified);
    EXPECT_EQ(Database->FileName, DataFile());
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(copy));
    EXPECT_EQ(saved.Tasks->GetCount(), 2);

    // A new list's name typed without Enter belongs to the database it was
    // typed in: taken before the question (it would be in the copy), its
    // box is not left open for the emptied database.
    Form->NewListTagM->Execute();
    ASSERT_TRUE(Form->FolderTextE->GetVisible());
    Form->FolderTextE->SetText(L"Half typed");
    Dialogs.ExpectMessage(msg::ClearDatabaseQuestion, IDCANCEL);
    Form->CreateNewDbM->Execute();
    EXPECT_FALSE(Form->FolderTextE->GetVisible());
    EXPECT_EQ(Database->Folders->GetCount(), 1);
    EXPECT_EQ(Database->Folders->Get(0).substr(0, 10), "Half typed");
    // Exit without saving: No stays, Yes exits and leaves the file.
    Dialogs.ExpectMessage(msg::ExitWithoutSavingQuestion, IDNO);
    PressShortcut(Form->GetHandle(), 'X', true, true);
    EXPECT_EQ(Form->Terminations, 0);
    Dialogs.ExpectMessage(msg::ExitWithoutSavingQuestion, IDYES);
    PressShortcut(Form->GetHandle(), 'X', true, true);
    EXPECT_EQ(Form->Terminations, 1);
    Close();
    ASSERT_TRUE(saved.LoadFromFile(DataFile()));
    EXPECT_EQ(saved.Tasks->GetCount(), 2);
    EXPECT_TRUE(gcl::FileExists(SettingsFileName()));
}

TEST_F(MainWindow, ClosingAsksOnlyAboutChanges) {
    WriteDatabase(DataFile());
    Start();
    // Unchanged: the database is saved as the window closes, without a
    // question, and the window's end has nothing left to save.
    gcl::TCloseAction action = gcl::caHide;
    gcl::DeleteFile(DataFile());
    Form->FormClose(Form, action);
    EXPECT_EQ(action, gcl::caHide);
    EXPECT_TRUE(gcl::FileExists(DataFile()));
    EXPECT_FALSE(SaveOnExit);
    SaveOnExit = true;
    Database->Modified = true;
    Dialogs.ExpectMessage(msg::SaveBeforeExitQuestion, IDCANCEL);
    Form->FormClose(Form, action);
    EXPECT_EQ(action, gcl::caNone);
    action = gcl::caHide;
    Dialogs.ExpectMessage(msg::SaveBeforeExitQuestion, IDNO);
    Form->FormClose(Form, action);
    EXPECT_EQ(action, gcl::caHide);
    EXPECT_FALSE(SaveOnExit);
}

TEST_F(MainWindow, HotKeyHidesToTheTrayAndBringsTheWindowBack) {
    WriteDatabase(DataFile());
    Start();
    HWND window = Form->GetHandle();
    ASSERT_TRUE(Form->tray->GetActive());
    EXPECT_TRUE(Form->tray->IsApplicationVisible());
    PostMessageA(window, WM_HOTKEY, Form->GetHotKeyId(), 0);
    PumpApplication(100);
    EXPECT_FALSE(Form->tray->IsApplicationVisible());
    EXPECT_FALSE(IsWindowVisible(window));
    // A hot key of another id does nothing.
    PostMessageA(window, WM_HOTKEY, Form->GetHotKeyId() + 1, 0);
    PumpApplication(50);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageA(window, WM_HOTKEY, Form->GetHotKeyId(), 0);
    PumpApplication(100);
    EXPECT_TRUE(Form->tray->IsApplicationVisible());
    EXPECT_TRUE(IsWindowVisible(window));

    // "Minimize/Restore" hides it again; the tray menu's "View Today
    // tasks" brings it back.
    Form->TxItem76->Click();
    PumpApplication(100);
    EXPECT_FALSE(IsWindowVisible(window));
    TBarCustomItem* today = Form->TrayMenu->GetItems()->GetItem(1);
    ASSERT_EQ(today->GetAction(), Form->ViewTodayTasksM);
    today->Click();
    PumpApplication(100);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(Form->tray->IsApplicationVisible());
}

TEST_F(MainWindow, AMissingDatabaseIsToldOfBeforeTheWindowIsBuiltAndOnlyOnce) {
    // The message comes first, with the program's title, and the window's
    // start does not give it again: one message in all.
    Dialogs.ExpectMessage("The file: " + DataFile() + " does not exists!", IDOK);
    EXPECT_TRUE(AnnounceMissingDatabase());
    ASSERT_EQ(Dialogs.Shown().size(), 1u);
    EXPECT_EQ(Dialogs.Shown()[0].Caption, msg::AppTitle);
    Start();
    EXPECT_EQ(Dialogs.Shown().size(), 1u);
    EXPECT_EQ(Database->FileName, DataFile());
    ASSERT_EQ(Form->FoldersList->GetItems()->GetCount(), 1);
    EXPECT_EQ(Form->FoldersList->GetItems()->GetItem(0)->GetText(), L"All");
    Close();

    // The default database of the settings counts when it is there; the
    // check reads the settings without taking them for the program's.
    const std::string other = App.Dir() + "Other.kpx";
    WriteDatabase(other);
    WriteOptions("Default Database Tasks", other);
    Options = TOptions{};
    EXPECT_FALSE(AnnounceMissingDatabase());
    EXPECT_EQ(Options.DefaultDatabase, "");
    Start();
    EXPECT_EQ(Database->FileName, other);
    EXPECT_EQ(Dialogs.Shown().size(), 1u);
    Close();

    // An announcement does not outlive the start it was made for: a later
    // window on a database that is still missing says so itself.
    gcl::DeleteFile(other);
    gcl::DeleteFile(DataFile());
    Dialogs.ExpectMessage("does not exists!", IDOK);
    EXPECT_TRUE(AnnounceMissingDatabase());
    Start();
    Close();
    gcl::DeleteFile(DataFile());
    Dialogs.ExpectMessage("does not exists!", IDOK);
    Start();
    EXPECT_EQ(Dialogs.Shown().size(), 3u);
}

TEST_F(MainWindow, StartingAppliesTheStoredThemeOnceAndRaisesTheTrayIconAfterThePaint) {
    WriteDatabase(DataFile());
    gcl::TIniFile(SettingsFileName()).WriteInteger("Form", "Theme", 0);
    TThemeSwitches switches;
    gcl::Application->CreateForm(Form);
    EXPECT_EQ(switches.Count, 1);
    EXPECT_EQ(CurrentThemeName(), "Default");
    EXPECT_EQ(Form->GetThemeIndex(), 0);
    // Made but not yet shown: no icon yet.
    EXPECT_EQ(Tray.Added, 0);
    Tray.Window = Form->GetHandle();
    Form->Show();
    EXPECT_TRUE(PumpApplication(2000, [&] { return Tray.Added > 0; }));
    EXPECT_EQ(Tray.Added, 1);
    EXPECT_TRUE(Form->tray->GetActive());
    EXPECT_FALSE(Tray.PaintPendingAtAdd);
    EXPECT_EQ(switches.Count, 1);
}

TEST_F(MainWindow, TheHotKeyFollowsTheWindowWhenItIsMadeAgain) {
    WriteDatabase(DataFile());
    Start();
    ASSERT_NE(Form->GetHotKeyId(), 0);
    const HWND first = Form->GetHandle();
    Form->RecreateWnd();
    const HWND second = Form->GetHandle();
    ASSERT_NE(first, second);
    // Registered for the new window: giving it back succeeds once.
    EXPECT_TRUE(UnregisterHotKey(second, Form->GetHotKeyId()));
    EXPECT_FALSE(UnregisterHotKey(second, Form->GetHotKeyId()));
    EXPECT_TRUE(RegisterHotKey(second, Form->GetHotKeyId(), MOD_CONTROL | MOD_SHIFT, HotKeyVirtualKey));
}

TEST_F(MainWindow, TheStoredLayoutComesBackAndBadIndexesAreIgnored) {
    WriteDatabase(DataFile());
    {
        gcl::TIniFile ini(SettingsFileName());
        ini.WriteInteger("Form", "Width", 700);
        ini.WriteInteger("Form", "Height", 450);
        ini.WriteInteger("Form", "Left", 30);
        ini.WriteInteger("Form", "Top", 0);  // centres both ways
        ini.WriteInteger("Form", "Theme", 99);
        ini.WriteInteger("Others", "Group M", 5);
        ini.WriteBool("Others", "Count items", false);
        ini.WriteBool("Filters Panel", "visible", false);
        ini.WriteInteger("Org Panel", "DockedWidth", 230);
        ini.WriteInteger("Note Panel", "DockedHeight", 120);
        ini.WriteBool("Note Panel", "Min", true);
        ini.WriteString("Options", "List Font Size", "13");
        gcl::TIniFile col(ColumnsFileName());
        col.WriteInteger("columns", "C1w", 180);
        col.WriteBool("columns", "C2v", false);
    }
    Start();
    const gcl::TRect work = gcl::Screen->GetWorkAreaRect();
    EXPECT_EQ(Form->GetWidth(), 700);
    EXPECT_EQ(Form->GetLeft(), work.Left + (work.Right - work.Left - 700) / 2);
    EXPECT_EQ(Form->GetTop(), work.Top + (work.Bottom - work.Top - 450) / 2);
    EXPECT_EQ(Form->GetThemeIndex(), 17);
    EXPECT_EQ(LiveSettings.GroupMode, 1);
    EXPECT_FALSE(Form->CountItemsM->GetChecked());
    EXPECT_FALSE(Form->FiltersPanel->GetVisible());
    EXPECT_EQ(Form->OrgPanel->GetDockedWidth(), 230);
    EXPECT_TRUE(Form->NoteEdit->IsMinimized());
    // The options were read even so.
    EXPECT_EQ(Options.ListFontSize, 13);
    EXPECT_EQ(Form->List->GetCellSizes()->GetReport()->GetHeight(), 24);
    TGvColumns* columns = Form->List->GetHeader()->GetColumns();
    EXPECT_EQ(columns->GetColumns(1)->GetWidth(), 180);
    EXPECT_FALSE(columns->GetColumns(2)->GetVisible());
    EXPECT_TRUE(Form->ShowTagsColM->GetChecked());
    EXPECT_FALSE(Form->ShowDueDateColM->GetChecked());
    // The theme menu chooses another theme; the exit keeps its index.
    Form->themes->GetItem(0)->Click();
    EXPECT_EQ(Form->GetThemeIndex(), 0);
    EXPECT_EQ(CurrentThemeName(), "Default");
    Close();
    gcl::TIniFile ini(SettingsFileName());
    EXPECT_EQ(ini.ReadInteger("Form", "Theme", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Org Panel", "DockedWidth", -1), 230);
    EXPECT_EQ(ini.ReadInteger("Note Panel", "DockedHeight", -1), 120);
    EXPECT_TRUE(ini.ReadBool("Note Panel", "Min", false));
    EXPECT_EQ(gcl::TIniFile(ColumnsFileName()).ReadInteger("columns", "C1w", -1), 180);
}

TEST_F(MainWindow, WebCommandsAndTheAboutBoxGoThroughTheShell) {
    WriteDatabase(DataFile());
    Start();
    Form->HelpM->Execute();
    Form->ContactM->Execute();
    Form->VisitHomeM->Execute();
    ASSERT_EQ(Shell.Requests.size(), 3u);
    EXPECT_EQ(Shell.Requests[0].Target, msg::HelpPageUrl);
    EXPECT_EQ(Shell.Requests[1].Target, msg::ContactPageUrl);
    EXPECT_EQ(Shell.Requests[2].Target, msg::HomePageUrl);
}

TEST_F(MainWindow, ImagesAndCursorsComeFromTheProgramsResources) {
    WriteDatabase(DataFile());
    Start();
    EXPECT_EQ(Form->IconList->GetCount(), 4);
    EXPECT_EQ(Form->Others16->GetCount(), 48);
    EXPECT_EQ(Form->CatIcons_24->GetCount(), 73);
    EXPECT_EQ(Form->CatIcons_24->GetWidth(), 24);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_NE(gcl::Screen->GetCursors(crHandCursor), nullptr);
    EXPECT_NE(gcl::Screen->GetCursors(crHandCursor), gcl::Screen->GetCursors(gcl::crDefault));
    EXPECT_NE(gcl::Screen->GetCursors(crGrabCursor), gcl::Screen->GetCursors(gcl::crDefault));
    EXPECT_NE(FindResourceA(instance, "CURSOR_HAND", MAKEINTRESOURCEA(12)), nullptr);
}

TEST_F(MainWindow, HotKeyWithoutTheTrayMinimisesAndRestores) {
    WriteDatabase(DataFile());
    WriteOptions("MinToTrayC", "0");
    Start();
    ASSERT_FALSE(Form->tray->GetActive());
    HWND window = Form->GetHandle();
    SetForegroundWindow(window);
    PumpApplication(100);
    ASSERT_TRUE(gcl::Application->GetActive());
    PostMessageA(window, WM_HOTKEY, Form->GetHotKeyId(), 0);
    PumpApplication(150);
    EXPECT_TRUE(IsIconic(gcl::Application->GetHandle()));
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageA(window, WM_HOTKEY, Form->GetHotKeyId(), 0);
    PumpApplication(150);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(gcl::Application->GetHandle()));
}

TEST_F(MainWindow, AMaximisedStartTakesItsColumnsOnceTheWindowHasItsSize) {
    WriteDatabase(DataFile());
    {
        gcl::TIniFile ini(SettingsFileName());
        ini.WriteBool("Form", "Maximized", true);
        gcl::TIniFile col(ColumnsFileName());
        col.WriteInteger("columns", "C1w", 210);
        col.WriteBool("columns", "C1v", false);
    }
    gcl::Application->CreateForm(Form);
    TGvColumns* columns = Form->List->GetHeader()->GetColumns();
    // Not yet: the window is not laid out.
    EXPECT_EQ(columns->GetColumns(1)->GetWidth(), 150);
    EXPECT_TRUE(Form->Timer2->GetEnabled());
    Form->Show();
    PumpApplication(1000, [&] { return !Form->Timer2->GetEnabled(); });
    EXPECT_FALSE(Form->Timer2->GetEnabled());
    EXPECT_EQ(Form->GetWindowState(), gcl::wsMaximized);
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 250);  // the maximised default
    EXPECT_EQ(columns->GetColumns(1)->GetWidth(), 210);
    EXPECT_FALSE(columns->GetColumns(1)->GetVisible());
    EXPECT_FALSE(Form->ShowTagsColM->GetChecked());
    Close();
    // Maximized is written as true, with the normal size the window is
    // restored to (the designed one, which it started from).
    gcl::TIniFile ini(SettingsFileName());
    EXPECT_TRUE(ini.ReadBool("Form", "Maximized", false));
    EXPECT_EQ(ini.ReadInteger("Form", "Width", -1), 804);
    EXPECT_EQ(ini.ReadInteger("Form", "Height", -1), 500);
}

namespace {
struct TAboutSeen {
    std::string Version;
    bool Clicked = false;
};
TAboutSeen AboutSeen;

// Inside the About box's modal loop: read it, click the mail label, close.
void CALLBACK AboutStep(HWND, UINT, UINT_PTR id, DWORD) {
    GCL_GUARD(nullptr, {
        for (int i = 0; i < gcl::Screen->GetFormCount(); ++i) {
            auto* about = dynamic_cast<TAboutF*>(gcl::Screen->GetForms(i));
            if (!about) continue;
            KillTimer(nullptr, id);
            AboutSeen.Version = about->VersionLabel->GetCaption();
            about->MailLabel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            about->MailLabel->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            AboutSeen.Clicked = true;
            about->OkButton->Click();
        }
    });
}
} // namespace

TEST_F(MainWindow, TheAboutBoxShowsTheVersionAndMailsTheMaker) {
    WriteDatabase(DataFile());
    Start();
    AboutSeen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AboutStep);
    Form->AboutM->Execute();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(AboutSeen.Clicked);
    EXPECT_EQ(AboutSeen.Version, "Version 1.1");
    ASSERT_EQ(Shell.Requests.size(), 1u);
    EXPECT_EQ(Shell.Requests[0].Target, msg::SupportMailUrl);
}

// Pictures of the window in the start-up theme and in Default.
TEST_F(MainWindow, LooksInTristanAndInDefault) {
    WriteDatabase(DataFile());
    Start();
    Form->SetBounds(20, 20, 804, 500);
    PumpApplication(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "main-window-tristan.bmp"), 40);
    Form->themes->GetItem(0)->Click();
    PumpApplication(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "main-window-default.bmp"), 40);
}

} // namespace
