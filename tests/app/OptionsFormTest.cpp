// The options dialog: the settings in and out of its controls, Ok and
// Cancel, the label clicks, the pickers, and the dialog on the screen.
#include <gtest/gtest.h>

#include "AppWindowTest.h"
#include "app/OptionsForm.h"
#include "app/logic/MainShell.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "theming/TxTestSupport.h"

namespace qelvo {
namespace {

using test::ReadFile;

// The main window as the dialog sees it: every call recorded.
class TRecordingTarget : public IOptionsTarget {
public:
    void RefreshTaskList() override { Log.push_back("refresh"); }
    void SetGroupsUnderlineColor(gcl::TColor color) override {
        Log.push_back("band");
        Band = color;
    }
    std::string GetOpenFileName() override { return OpenFile; }
    void SetDefaultDatabaseChecked(bool checked) override {
        Log.push_back("default");
        DefaultChecked = checked;
    }
    void SetListRowHeight(int height) override {
        Log.push_back("rows");
        RowHeight = height;
    }
    void SetNoteFontSize(int size) override {
        Log.push_back("note font");
        NoteFont = size;
    }
    void SetTrayIconActive(bool active) override {
        Log.push_back("tray");
        Tray = active;
    }
    std::string GetMainCaption() override { return Caption; }
    void SetMainCaption(const std::string& caption) override {
        Log.push_back("caption");
        Caption = caption;
    }

    std::vector<std::string> Log;
    std::string OpenFile;
    std::string Caption;
    gcl::TColor Band = 0;
    bool DefaultChecked = false;
    int RowHeight = 0;
    int NoteFont = 0;
    bool Tray = true;
};

std::string RunValue(gcl::IRegistryStore& store) {
    gcl::TRegDataType type{};
    std::string data;
    if (!store.GetValue(gcl::TRegRootKey::CurrentUser, RunKeyPath, RunValueName, type, data)) return "<none>";
    return data;
}

class OptionsDialog : public test::TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        Options = DefaultOptions();
        Target.OpenFile = App.File("Other.kpx");
        Target.Caption = FileCaption(Target.OpenFile);
        // The open database is a file on the disk.
        ASSERT_TRUE(gcl::WriteFileAtomic(Target.OpenFile, "", 0));
    }
    void TearDown() override {
        if (Dialog) Dialog->Free();
        TAppWindowTest::TearDown();
    }
    TOptionsF* Open() {
        Dialog = TOptionsF::Create(nullptr, &Target);
        return Dialog;
    }
    TRecordingTarget Target;
    TOptionsF* Dialog = nullptr;
};

TEST_F(OptionsDialog, ShowsTheSettings) {
    Options.DateTimeFormat = "dd.MM.yyyy";
    Options.GroupsUnderlineColor = "clBlue";
    Options.AutoSave = false;
    Options.AutoSaveInterval = 12;
    Options.ListFontSize = 14;
    Options.NoteFontSize = 9;
    Options.ConfirmDelete = false;
    TOptionsF* d = Open();
    EXPECT_EQ("Options", d->GetCaption());
    EXPECT_EQ("General Settings", d->GeneralPanel->GetCaption());
    EXPECT_EQ("Database settings", d->DatabasePanel->GetCaption());
    EXPECT_EQ("Ok", d->okBut->GetCaption());
    EXPECT_EQ("Cancel", d->CancelBut->GetCaption());
    EXPECT_EQ("dd.MM.yyyy", d->DTFormatEC->GetText());
    ASSERT_EQ(7, d->DTFormatEC->GetItems()->GetCount());
    EXPECT_EQ("ddd dd,MM yy ", d->DTFormatEC->GetItems()->Get(3));
    EXPECT_EQ(gcl::clBlue, d->BandColor->GetColor());
    EXPECT_FALSE(d->AutoSaveEveryC->GetChecked());
    EXPECT_FALSE(d->AutoSaveEverySpin->GetEnabled());  // the interval follows its check box
    EXPECT_EQ(12, d->AutoSaveEverySpin->GetValue());
    EXPECT_EQ(14, d->ListFontSizeSpin->GetValue());
    EXPECT_EQ(9, d->ListsFontSizeSpin->GetValue());
    EXPECT_FALSE(d->ConfirmDelC->GetChecked());
    EXPECT_TRUE(d->MinToTrayC->GetChecked());
    EXPECT_EQ(Options.DefaultDatabase, d->DefDataBaseE->GetText());
    EXPECT_EQ(Options, d->ReadControls());  // the controls give back what they showed
}

TEST_F(OptionsDialog, OkWritesTheOptionsInOrderAndTheRunValue) {
    TOptionsF* d = Open();
    d->StartUpC->SetChecked(true);
    d->MinToTrayC->SetChecked(false);
    d->DTFormatEC->SetText("dd MMM yyyy");
    d->ConfirmDelC->SetChecked(false);
    d->PriorItemsColorC->SetChecked(false);
    d->BandColor->SetColor(0x00112233);
    d->ListFontSizeSpin->SetValue(14);
    d->ListsFontSizeSpin->SetValue(12);
    d->AutoSaveEveryC->SetChecked(true);
    d->AutoSaveEverySpin->SetValue(30);
    d->DefDataBaseE->SetText(Target.OpenFile);
    Target.Caption = CountdownCaption(Target.OpenFile, 20);
    d->okBut->Click();

    EXPECT_EQ(gcl::mrOk, d->GetModalResult());
    EXPECT_EQ("[Options]\r\n"
              "DateTime Format=dd MMM yyyy\r\n"
              "MinToTrayC=0\r\n"
              "Confirm Delete=0\r\n"
              "Distinguish Tasks Priorities=0\r\n"
              "Groups Underline Color=$00112233\r\n"
              "AutoSave=1\r\n"
              "AutoSave Interval=30\r\n"
              "List Font Size=14\r\n"
              "Lists Font Size=12\r\n"
              "Default Database Tasks=" + Target.OpenFile + "\r\n",
              ReadFile(SettingsFileName()));
    EXPECT_EQ("\"" + App.File("qelvo.exe") + "\"", RunValue(Registry));
    EXPECT_EQ("dd MMM yyyy", Options.DateTimeFormat);
    EXPECT_EQ(14, Options.ListFontSize);

    // The main window follows, in the dialog's order.
    EXPECT_EQ((std::vector<std::string>{"refresh", "band", "default", "rows", "note font", "tray", "caption"}),
              Target.Log);
    EXPECT_EQ(0x00112233, Target.Band);
    EXPECT_TRUE(Target.DefaultChecked);  // the open file became the default database
    EXPECT_EQ(25, Target.RowHeight);
    EXPECT_EQ(12, Target.NoteFont);
    EXPECT_FALSE(Target.Tray);
    EXPECT_EQ(FileCaption(Target.OpenFile), Target.Caption);  // the countdown went away
}

// A default database that does not exist would be passed over at every
// start: Ok says so, naming the file opened instead, and asks. No keeps
// the dialog open and writes nothing; Yes takes the name.
TEST_F(OptionsDialog, OkAsksBeforeItTakesADefaultDatabaseThatDoesNotExist) {
    TOptionsF* d = Open();
    const std::string missing = App.File("Nope.kpx");
    d->DefDataBaseE->SetText(missing);
    const std::string question = MissingDefaultDatabaseQuestion(missing, DefaultDatabaseFileName());
    Dialogs.ExpectMessage(question, IDNO);
    d->okBut->Click();
    EXPECT_EQ(gcl::mrNone, d->GetModalResult());
    EXPECT_EQ("", ReadFile(SettingsFileName()));
    EXPECT_TRUE(Target.Log.empty());
    EXPECT_NE(question.find(DefaultDatabaseFileName()), std::string::npos) << question;
    Dialogs.ExpectMessage(question, IDYES);
    d->okBut->Click();
    EXPECT_EQ(gcl::mrOk, d->GetModalResult());
    EXPECT_EQ(missing, Options.DefaultDatabase);
    EXPECT_FALSE(Target.DefaultChecked);
}

TEST_F(OptionsDialog, OkWithoutStartUpDeletesTheRunValueAndKeepsAPlainCaption) {
    Registry.CreateKey(gcl::TRegRootKey::CurrentUser, RunKeyPath);
    Registry.SetString(gcl::TRegRootKey::CurrentUser, RunKeyPath, RunValueName, "\"C:\\old\\qelvo.exe\"");
    Registry.SetString(gcl::TRegRootKey::CurrentUser, RunKeyPath, "Other", "x");
    LoadOptions(SettingsFileName());
    TOptionsF* d = Open();
    EXPECT_TRUE(d->StartUpC->GetChecked());  // read from the registry
    d->StartUpC->SetChecked(false);
    Target.Caption = "[Saving Database in 5 seconds ]";  // the marker counts only after the first character
    d->okBut->Click();
    EXPECT_EQ("<none>", RunValue(Registry));
    gcl::TRegDataType type{};
    std::string other;
    EXPECT_TRUE(Registry.GetValue(gcl::TRegRootKey::CurrentUser, RunKeyPath, "Other", type, other));
    EXPECT_FALSE(Target.DefaultChecked);
    EXPECT_EQ("[Saving Database in 5 seconds ]", Target.Caption);
    EXPECT_EQ(std::vector<std::string>({"refresh", "band", "default", "rows", "note font", "tray"}), Target.Log);
}

// Cancel changes nothing: the settings in effect stay, also those an Ok
// took that could not be written to the file.
TEST_F(OptionsDialog, CancelWritesNothingAndKeepsTheSettingsItOpenedWith) {
    Options.ListFontSize = 20;
    Options.DateTimeFormat = "dddddd";
    SaveOptions(SettingsFileName());
    const std::string before = ReadFile(SettingsFileName());
    Options.ListFontSize = 33;  // taken by an Ok whose save failed
    TOptionsF* d = Open();
    d->StartUpC->SetChecked(true);
    d->ListFontSizeSpin->SetValue(8);
    d->DTFormatEC->SetText("yyyy");
    d->AutoSaveEveryC->SetChecked(false);
    d->CancelBut->Click();
    EXPECT_EQ(gcl::mrCancel, d->GetModalResult());
    EXPECT_EQ(before, ReadFile(SettingsFileName()));
    EXPECT_EQ("<none>", RunValue(Registry));
    EXPECT_EQ(33, Options.ListFontSize);
    EXPECT_EQ("dddddd", Options.DateTimeFormat);
    EXPECT_TRUE(Options.AutoSave);
    EXPECT_EQ(std::vector<std::string>{"refresh"}, Target.Log);
}

TEST_F(OptionsDialog, LabelsToggleTheirCheckBoxes) {
    TOptionsF* d = Open();
    const std::pair<gcl::TLabel*, gcl::TCheckBox*> pairs[] = {
        {d->StartUpL, d->StartUpC}, {d->MinToTrayL, d->MinToTrayC}, {d->ConfirmDelL, d->ConfirmDelC},
        {d->PriorItemsColorL, d->PriorItemsColorC}, {d->AutoSaveEveryL, d->AutoSaveEveryC}};
    for (const auto& [label, check] : pairs) {
        const bool was = check->GetChecked();
        test::ClickControl(label);
        EXPECT_EQ(!was, check->GetChecked()) << label->GetCaption();
        test::ClickControl(label);
        EXPECT_EQ(was, check->GetChecked()) << label->GetCaption();
    }
    EXPECT_EQ("Open the application with Windows(On StartUp)", d->StartUpL->GetCaption());
    EXPECT_EQ("Save data every :", d->AutoSaveEveryL->GetCaption());
    // The auto-save label reaches the interval box through its check box.
    test::ClickControl(d->AutoSaveEveryL);
    EXPECT_FALSE(d->AutoSaveEveryC->GetChecked());
    EXPECT_FALSE(d->AutoSaveEverySpin->GetEnabled());
    // The font-size label toggles nothing.
    test::ClickControl(d->ListFontSizeL);
    EXPECT_FALSE(d->AutoSaveEveryC->GetChecked());
    EXPECT_EQ(DefaultOptions().ListFontSize, d->ListFontSizeSpin->GetValue());
    d->AutoSaveEveryC->SetChecked(true);
    EXPECT_TRUE(d->AutoSaveEverySpin->GetEnabled());
}

TEST_F(OptionsDialog, NumberBoxesKeepTheirRanges) {
    TOptionsF* d = Open();
    d->ListFontSizeSpin->SetValue(3);
    EXPECT_EQ(6, d->ListFontSizeSpin->GetValue());
    d->ListsFontSizeSpin->SetValue(99);
    EXPECT_EQ(40, d->ListsFontSizeSpin->GetValue());
    d->AutoSaveEverySpin->SetValue(0);
    EXPECT_EQ(1, d->AutoSaveEverySpin->GetValue());
    d->AutoSaveEverySpin->SetValue(7000);
    EXPECT_EQ(6000, d->AutoSaveEverySpin->GetValue());
}

TEST_F(OptionsDialog, DateFormatPreviewFollowsTheText) {
    gcl::FixedClock clock(gcl::EncodeDate(2031, 5, 6) + 0.5);
    gcl::ServiceOverride<gcl::IClock> useClock(gcl::Clock, clock);
    TOptionsF* d = Open();
    // Typed into the combo box's edit, as the user does.
    HWND edit = GetWindow(d->DTFormatEC->GetHandle(), GW_CHILD);
    ASSERT_NE(nullptr, edit);
    auto type = [&](const std::string& text) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
    };
    type("yyyy");
    EXPECT_EQ("yyyy", d->DTFormatEC->GetText());
    EXPECT_EQ("2031", d->TestFormatLabel->GetCaption());
    type("dd.MM.yyyy");
    EXPECT_EQ("06.05.2031", d->TestFormatLabel->GetCaption());
}

TEST_F(OptionsDialog, ColourPanelAndBrowseButtonUseTheirDialogs) {
    TOptionsF* d = Open();
    Dialogs.ExpectColor(0x00445566).ExpectCancel(gcl::dkColor);
    test::ClickControl(d->BandColor);
    EXPECT_EQ(0x00445566, d->BandColor->GetColor());
    test::ClickControl(d->BandColor);
    EXPECT_EQ(0x00445566, d->BandColor->GetColor());  // cancelled: unchanged
    ASSERT_EQ(2u, Dialogs.Shown().size());
    EXPECT_EQ(0x00445566, Dialogs.Shown()[1].Color);   // preset to the panel's colour
    EXPECT_EQ("$00445566", d->ReadControls().GroupsUnderlineColor);

    const std::string chosen = App.File("Chosen.kpx");
    Dialogs.ExpectOpen(chosen).ExpectCancel(gcl::dkOpen);
    d->BrowseBut->Click();
    EXPECT_EQ(chosen, d->DefDataBaseE->GetText());
    d->BrowseBut->Click();
    EXPECT_EQ(chosen, d->DefDataBaseE->GetText());
    ASSERT_EQ(4u, Dialogs.Shown().size());
    EXPECT_EQ("Qelvo Database  (*.kpx)|*.kpx", Dialogs.Shown()[2].Filter);
    EXPECT_EQ(Options.DefaultDatabase, Dialogs.Shown()[2].FileName);  // preset to the edit's text
    EXPECT_EQ(chosen, Dialogs.Shown()[3].FileName);
}

TEST_F(OptionsDialog, ModalDialogClosesThroughOkAndLooksRight) {
    TOptionsF* d = Open();
    d->Show();
    test::PumpApplication(300);
    EXPECT_GT(test::SaveWindowScreenshot(d->GetHandle(), "OptionsDialog.bmp"), 20);
    {
        test::TVisualStylesScope classic(false);  // the classic look paints too
        RedrawWindow(d->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        test::PumpApplication(200);
        EXPECT_GT(test::SaveWindowScreenshot(d->GetHandle(), "OptionsDialogClassic.bmp"), 20);
    }
    d->Hide();
    PostMessageA(d->okBut->GetHandle(), BM_CLICK, 0, 0);
    {
        test::TModalWatchdog watchdog(d);
        EXPECT_EQ(gcl::mrOk, d->ShowModal());
    }
    EXPECT_FALSE(d->GetVisible());
    EXPECT_EQ(6u, Target.Log.size());
}

} // namespace
} // namespace qelvo
